#include "app/StartUp.h"

#include "app/DataPaths.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/ErrorReport.h"
#include "platform/Services.h"
#include "platform/cRegistry.h"

#include <QDir>

namespace {

void markFirstRun()
{
    cRegistry reg = cRegistry::AppKey(QStringLiteral("INIT"), cRegistry::Number);
    const QVariant init = reg.Value();
    if (!init.isValid() || init.toInt() != 1) {
        reg.SetValueType(cRegistry::Number);
        reg.SetValue(qint32(1));
    }
}

void ensureFolder(const QString &path)
{
    if (QDir(path).exists())
        return;
    if (!QDir().mkpath(path))
        throw AppError::pathFileAccess(path);
}

} // namespace

bool RunStartUp(IStartupHost &host)
{
    try {
        // The user data folder stands in for the application folder; it must exist
        // before the temporary file can.
        ensureFolder(DataPaths::UserDataFolder());
        host.PrepareTempFile();

        host.ShowSplash();

        // The mark is only a note that the program has run here; a settings file
        // that cannot be written must not keep the program from starting.
        Reported(QStringLiteral("0139"), markFirstRun);

        ensureFolder(DataPaths::ScriptsFolder());
        ensureFolder(DataPaths::ProgramsFolder());
        ensureFolder(DataPaths::ConfigFolder());

        Services::clock().waitResponsive(2000);

        host.SetSplashStatus(QStringLiteral("Creating application window..."));
        host.LoadMainWindow();

        host.SetSplashStatus(QStringLiteral("Finalizing settings..."));
        Services::clock().waitResponsive(2000);

        host.ShowRecentFiles();
        host.UnloadSplash();
        return true;
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0139"), e);
        host.UnloadSplash();
        return false;
    }
}
