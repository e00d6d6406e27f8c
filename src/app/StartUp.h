#pragma once

#include <QString>

/// The windows start-up drives. The application gives real windows; tests
/// record the calls.
class IStartupHost
{
public:
    virtual ~IStartupHost() = default;
    /// Shows the splash window, whose status reads "Initializing application. Please wait...".
    virtual void ShowSplash() = 0;
    virtual void SetSplashStatus(const QString &text) = 0;
    /// Loads the main window (its own load step runs), sizes it and lets pending events run.
    virtual void LoadMainWindow() = 0;
    /// Loads the recent files and shows them in the File menu without a check mark.
    virtual void ShowRecentFiles() = 0;
    virtual void UnloadSplash() = 0;
};

/// The splash window's first status text.
inline const QString kSplashInitialStatus = QStringLiteral("Initializing application. Please wait...");

/// The start-up routine: temporary file, splash, first-run mark, default
/// properties, data folders, main window, recent files. Returns false when an
/// unexpected error ended it (reported with routine "0139").
bool RunStartUp(IStartupHost &host);

/// The main window's query-unload: removes the temporary file and closes the
/// serial port. Nothing is saved and nothing is asked.
void ShutdownQueryUnload();
