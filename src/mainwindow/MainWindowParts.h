#pragma once

class ExecutionController;
class ExportSettingsStore;
class FileCommands;
class LinkSession;
class ProgramCommands;
class ProgramListing;
class ProgramPropertyStore;
class ServoModel;
class TakeRecorder;

/// What the main window shows and drives; all of it outlives the window.
struct MainWindowParts
{
    ProgramPropertyStore &properties;
    LinkSession &session;
    ServoModel &servos;
    ProgramListing &listing;
    ExecutionController &execution;
    ProgramCommands &commands;
    FileCommands &files;
    ExportSettingsStore &exportSettings;
    TakeRecorder &recorder;
};
