#include "mainwindow/grid/GridChoices.h"

#include "mainwindow/grid/PropertyGridModel.h"

QStringList GridChoices::ForRow(int row)
{
    switch (row) {
    case PropertyGridModel::SynchByte:
        return {QStringLiteral("255"), QStringLiteral("Custom...")};
    case PropertyGridModel::InterInstructionDelay:
        return {QStringLiteral("1000"), QStringLiteral("Smart"), QStringLiteral("Custom...")};
    case PropertyGridModel::SmartRating:
        return {QStringLiteral("(None)"), QStringLiteral("Custom..."), QStringLiteral("Wizard...")};
    case PropertyGridModel::CommPort:
        return {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")};
    case PropertyGridModel::BaudRate:
        return {QStringLiteral("2400"), QStringLiteral("9600")};
    case PropertyGridModel::ServoMax:
        return {QStringLiteral("254"), QStringLiteral("Custom...")};
    case PropertyGridModel::ServoMin:
        return {QStringLiteral("0"), QStringLiteral("Custom...")};
    case PropertyGridModel::ServoCenter:
        return {QStringLiteral("127"), QStringLiteral("Custom...")};
    case PropertyGridModel::CommPortStatus:
        return {QStringLiteral("Online"), QStringLiteral("Offline")};
    case PropertyGridModel::CenterOnExecution:
        return {QStringLiteral("True"), QStringLiteral("False")};
    default:
        return {};
    }
}

bool GridChoices::Contains(int row, const QString &text)
{
    return ForRow(row).contains(text, Qt::CaseSensitive);
}

int GridChoices::SelectionIndex(const QStringList &entries, const QString &current)
{
    const qsizetype at = entries.indexOf(current);
    return at < 0 ? 0 : int(at);
}
