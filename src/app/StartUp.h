#pragma once

#include <QString>

/// The windows start-up drives. The application gives real windows; tests
/// record the calls.
class IStartupHost
{
public:
    virtual ~IStartupHost() = default;
    /// Creates the temporary file empty (a leftover one is emptied, never
    /// loaded). A file that cannot be written is reported there; start-up goes on.
    virtual void PrepareTempFile() = 0;
    /// Shows the splash window, whose status reads "Initializing application. Please wait...".
    virtual void ShowSplash() = 0;
    virtual void SetSplashStatus(const QString &text) = 0;
    /// Loads the main window (its own load step runs), sizes it and lets pending events run.
    virtual void LoadMainWindow() = 0;
    /// Loads the recent files and shows them in the File menu without a check mark.
    virtual void ShowRecentFiles() = 0;
    virtual void UnloadSplash() = 0;
};

/// The start-up routine: temporary file, splash, first-run mark, data
/// folders, main window, recent files. Returns false when an unexpected error
/// ended it (reported with routine "0139"). The properties start at their
/// defaults because their store is new.
bool RunStartUp(IStartupHost &host);
