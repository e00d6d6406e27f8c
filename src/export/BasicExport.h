#pragma once

#include "app/ExportSettingsStore.h"
#include "platform/MessageService.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>
#include <functional>
#include <optional>

/// BASIC source for the five microcontroller targets: every move sends the
/// controller's three-byte command and every instruction is followed by the
/// inter-instruction wait, as the player does, either as a straight listing of
/// SEROUT/PAUSE lines or as a loop over LookUp tables.
namespace BasicExport {

inline constexpr int kTargetCount = 5;
inline constexpr int kMaxScriptDepth = 16;

/// The output pins offered for a target, in list order.
QStringList PinList(int target);
/// The target's own notation for the baud item ("N2400"; anything else is N9600).
QString BaudText(int target, const QString &baudItem);
/// The save dialog's filter for a target.
QString SaveFilter(int target);
/// Restored choices with any value outside its list set to the first item.
ExportSettings Checked(const ExportSettings &settings);

struct Input
{
    QStringList lines; ///< the program's lines as listed
    QString synchByte = QStringLiteral("255");
    QString interInstructionDelay = QStringLiteral("1000");
    QString smartDelay = QStringLiteral("(None)");
    std::array<qint16, 16> positions{}; ///< where the servos start; the caller's record stays as it is
    ExportSettings settings;
    bool loop = false;
    QString scriptsFolder;
    /// Told before each line of the program: its index and the number of lines.
    std::function<void(qsizetype, qsizetype)> progress;
};

struct Result
{
    /// Set when nothing may be written; the text of the critical user message to show.
    std::optional<QString> refusal;
    /// The boxes of what did not stop the export (a skipped script, a failed line), in order.
    QList<MessageRequest> messages;
    /// The generated code, without header.
    QString code;
};

Result Export(const Input &input);

/// The two header lines and the empty line before the code.
QString Header(const QDateTime &now);

} // namespace BasicExport
