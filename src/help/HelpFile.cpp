#include "help/HelpFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString FindHelpFile()
{
    const QDir programFolder(QCoreApplication::applicationDirPath());
    for (const QString &candidate : {programFolder.filePath(kHelpFileName),
                                     programFolder.filePath(QLatin1String("../share/taveloq/") + kHelpFileName)}) {
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    }
    return {};
}
