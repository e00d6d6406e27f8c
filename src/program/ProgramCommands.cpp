#include "program/ProgramCommands.h"

#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"
#include "program/ProgramFile.h"
#include "program/ProgramListing.h"

ProgramCommands::ProgramCommands(ProgramPropertyStore &properties, ProgramListing &listing, QObject *parent)
    : QObject(parent)
    , m_properties(properties)
    , m_listing(listing)
{
}

void ProgramCommands::SetCurrentProgramPath(const QString &path)
{
    if (path == m_currentProgramPath)
        return;
    m_currentProgramPath = path;
    Q_EMIT currentProgramPathChanged(path);
}

void ProgramCommands::LoadProgramFile()
{
    const QString path = m_currentProgramPath;
    Reported(QStringLiteral("0056"), [&] {
        if (!FileExistsOnDisk(path)) {
            ShowUserMessage(QStringLiteral("The program file ( ") + path + QStringLiteral(" ) could not be found."),
                            MsgButtons::OkCancel, MsgIcon::Information);
            SetCurrentProgramPath(QString());
            return;
        }

        const ParsedProgram parsed = ReadProgramFile(path, m_properties.Properties());

        if (parsed.droppedLines) {
            ShowUserMessage(DroppedLinesMessage(path), MsgButtons::OkCancel, MsgIcon::Critical);
        }

        ProgramProperties properties = parsed.properties;
        if (PropertiesInvalid(properties)) {
            ShowUserMessage(
                path + QStringLiteral("\r\nThe file had invalid property values.  Default values will be set."),
                MsgButtons::OkCancel, MsgIcon::Information);
            properties = ProgramProperties{};
        }

        // The grid shows the store and the link applies it, both through its signal.
        m_properties.SetProperties(properties);
        m_listing.Reset(parsed.listing);
        m_listing.Update();
        Q_EMIT programLoaded(path);
    });
}

bool ProgramCommands::SaveProgram(bool asScript)
{
    return Reported(QStringLiteral("0055"),
                    [&] {
                        m_listing.Update();
                        const QString text = ProgramFileText(m_properties.Properties(), m_listing.Items(), asScript);
                        WriteWholeFileBytes(m_currentProgramPath, EncodeFileText(text));
                        // Only a program that really reached the disk goes into the recent files.
                        if (!asScript)
                            Q_EMIT programSaved(m_currentProgramPath);
                        return true;
                    })
        .value_or(false);
}

void ProgramCommands::Recover(const QStringList &lines, const ProgramProperties &properties, const QString &path)
{
    Reported(QStringLiteral("0139"), [&] {
        m_properties.SetProperties(properties);
        m_listing.Reset(lines);
        m_listing.SetUnsaved();
        m_listing.Update();
        SetCurrentProgramPath(path);
        Q_EMIT programRecovered(path);
    });
}
