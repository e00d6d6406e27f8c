#pragma once

#include <QAbstractListModel>
#include <QStringList>

class ServoModel;

/// The servo model's loaded scripts for a list view: one row per name, in the
/// servo model's order, reset whenever that list changes.
class LoadedScriptsModel final : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit LoadedScriptsModel(const ServoModel &servos, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    const ServoModel &m_servos;
    // The names the views were last told about: the servo model has already
    // changed when it announces the change, and rows must not change before the reset begins.
    QStringList m_names;
};
