#include "program/InstructionSyntax.h"

#include "platform/NumericText.h"

namespace {

bool startsWithKeyword(const QString &line, QLatin1StringView keyword)
{
    return line.startsWith(keyword, Qt::CaseInsensitive);
}

} // namespace

InstructionKind InstructionKindOf(const QString &line, KeywordMatch match)
{
    // The loose reading drops the space after every keyword but "wav ".
    const bool strict = match == KeywordMatch::Strict;
    if (startsWithKeyword(line, QLatin1StringView(strict ? "mov " : "mov")))
        return InstructionKind::Mov;
    if (startsWithKeyword(line, QLatin1StringView(strict ? "pause " : "pause")))
        return InstructionKind::Pause;
    if (startsWithKeyword(line, QLatin1StringView(strict ? "script " : "script")))
        return InstructionKind::Script;
    if (startsWithKeyword(line, QLatin1StringView("wav ")))
        return InstructionKind::Wav;
    return InstructionKind::None;
}

bool IsAcceptedInstructionLine(const QString &line)
{
    switch (InstructionKindOf(line)) {
    case InstructionKind::Mov: {
        const QString rest = line.mid(4);
        return !rest.contains(QLatin1Char(' ')) && rest.contains(QLatin1Char(',')) &&
               !rest.startsWith(QLatin1Char(',')) && !line.endsWith(QLatin1Char(',')) && IsNumericText(rest);
    }
    case InstructionKind::Pause: {
        const QString rest = line.mid(6);
        return !rest.contains(QLatin1Char(' ')) && IsNumericText(rest);
    }
    case InstructionKind::Script:
        return line.endsWith(QLatin1String(".tqs"));
    case InstructionKind::Wav:
        return line.endsWith(QLatin1String(".wav"));
    case InstructionKind::None:
        break;
    }
    return false;
}

Instruction ParseInstruction(const QString &line, KeywordMatch match)
{
    Instruction result;
    result.kind = InstructionKindOf(line, match);
    result.accepted = IsAcceptedInstructionLine(line);
    const qsizetype space = line.indexOf(QLatin1Char(' '));
    switch (result.kind) {
    case InstructionKind::Mov: {
        const qsizetype comma = line.indexOf(QLatin1Char(','));
        result.split = comma > space;
        if (result.split) {
            result.servo = line.mid(space + 1, comma - space - 1);
            result.position = line.mid(comma + 1);
        }
        break;
    }
    case InstructionKind::Pause:
        result.milliseconds = line.mid(space + 1);
        break;
    case InstructionKind::Script:
    case InstructionKind::Wav:
        result.name = line.mid(space + 1);
        break;
    case InstructionKind::None:
        break;
    }
    return result;
}

QString ScriptFileName(const QString &name)
{
    const QLatin1StringView extension(".tqs");
    if (!name.endsWith(extension, Qt::CaseInsensitive))
        return name + extension;
    return name.left(name.size() - extension.size()) + extension;
}
