#pragma once

/// Runs the desktop application in an existing QApplication; returns its exit code.
int RunApplication();
