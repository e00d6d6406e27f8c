#pragma once

#include <QString>

/// The help file's name, beside the program or in the installed data folder.
inline const QString kHelpFileName = QStringLiteral("Taveloq Help.chm");

/// The help file: beside the executable (a build tree), else in ../share/taveloq
/// relative to it (an install, wherever its prefix was moved). Empty when neither exists.
QString FindHelpFile();
