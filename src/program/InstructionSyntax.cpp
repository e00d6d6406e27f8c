#include "program/InstructionSyntax.h"

#include "platform/NumericText.h"

namespace {

bool startsWithKeyword(const QString &line, QLatin1StringView keyword)
{
    return line.startsWith(keyword, Qt::CaseInsensitive);
}

} // namespace

InstructionKind InstructionKindOf(const QString &line)
{
    if (startsWithKeyword(line, QLatin1StringView("mov ")))
        return InstructionKind::Mov;
    if (startsWithKeyword(line, QLatin1StringView("pause ")))
        return InstructionKind::Pause;
    if (startsWithKeyword(line, QLatin1StringView("script ")))
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

Instruction ParseInstruction(const QString &line)
{
    const InstructionKind kind = InstructionKindOf(line);
    if (kind == InstructionKind::None)
        return {};
    return {kind, line.mid(line.indexOf(QLatin1Char(' ')) + 1), IsAcceptedInstructionLine(line)};
}

QString ScriptFileName(const QString &name)
{
    const QLatin1StringView extension(".tqs");
    if (!name.endsWith(extension, Qt::CaseInsensitive))
        return name + extension;
    return name.left(name.size() - extension.size()) + extension;
}
