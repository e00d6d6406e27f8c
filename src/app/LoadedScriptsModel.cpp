#include "app/LoadedScriptsModel.h"

#include "app/ServoModel.h"

LoadedScriptsModel::LoadedScriptsModel(const ServoModel &servos, QObject *parent)
    : QAbstractListModel(parent)
    , m_servos(servos)
    , m_names(servos.LoadedScripts())
{
    connect(&m_servos, &ServoModel::loadedScriptsChanged, this, [this] {
        beginResetModel();
        m_names = m_servos.LoadedScripts();
        endResetModel();
    });
}

int LoadedScriptsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
}

QVariant LoadedScriptsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_names.at(index.row());
}
