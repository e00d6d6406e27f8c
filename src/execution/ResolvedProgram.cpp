#include "execution/ResolvedProgram.h"

#include "app/FileHelpers.h"
#include "platform/AppError.h"
#include "program/InstructionSyntax.h"
#include "program/ProgramFile.h"
#include "program/ScriptFolder.h"

#include <QFile>

ResolvedProgram::ResolvedProgram(const QStringList &items, const QString &scriptsFolder)
    : m_items(items)
    , m_scriptsFolder(scriptsFolder)
{
    const auto scan = [this](const QStringList &lines) {
        for (const QString &line : lines) {
            const std::optional<QString> name = ScriptNameOf(line);
            if (name && !m_byName.contains(*name)) {
                m_byName.insert(*name, m_scripts.size());
                m_scripts.append(
                    Script{Script::State::Missing, *name, {}, 0, {}, m_scriptsFolder + QLatin1Char('/') + *name});
            }
        }
    };
    scan(items);
    // Names that differ only in letter case may find one file: it is read once.
    QHash<QByteArray, qsizetype> byFile;
    for (qsizetype i = 0; i < m_scripts.size(); ++i) {
        const QByteArray file = ScriptFolder::Find(m_scriptsFolder, m_scripts[i].name);
        if (file.isEmpty())
            continue;
        if (const auto read = byFile.constFind(file); read != byFile.cend()) {
            Script same = m_scripts[*read];
            same.name = m_scripts[i].name;
            m_scripts[i] = same;
            continue;
        }
        byFile.insert(file, i);
        Script &script = m_scripts[i];
        script.path = QFile::decodeName(file);
        try {
            script.lines = SplitFileLines(DecodeFileText(ReadNativeFileBytes(file)));
            script.state = Script::State::Found;
        } catch (const AppError &e) {
            script.state = Script::State::Unreadable;
            script.errorNumber = e.number();
            script.errorDescription = e.description();
        }
        scan(QStringList(m_scripts[i].lines));
    }
}

const ResolvedProgram::Script *ResolvedProgram::FindScript(const QString &name) const
{
    const auto found = m_byName.constFind(name);
    return found == m_byName.cend() ? nullptr : &m_scripts.at(*found);
}

QStringList ResolvedProgram::ScriptPaths() const
{
    QStringList paths;
    for (const Script &script : m_scripts)
        paths.append(script.path);
    return paths;
}

std::optional<QString> ResolvedProgram::ScriptNameOf(const QString &line)
{
    // As the engine reads the line, so that it finds every name the run asks for; the
    // keyword first, since reading every field of every line would cost more than the scan.
    if (InstructionKindOf(line, KeywordMatch::Loose) != InstructionKind::Script)
        return std::nullopt;
    return ParseInstruction(line, KeywordMatch::Loose).name;
}
