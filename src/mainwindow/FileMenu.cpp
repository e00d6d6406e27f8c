#include "mainwindow/FileMenu.h"

#include "mainwindow/MainActions.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "program/FileCommands.h"

#include <QAction>
#include <QMainWindow>

namespace {

QString entryName(int index)
{
    return QStringLiteral("miMRU") + QString::number(index);
}

} // namespace

FileMenu::FileMenu(MainActions &actions, FileCommands &files, QMainWindow &window)
    : QObject(&window)
    , m_actions(actions)
    , m_files(files)
{
    const auto on = [this](const QString &name, auto handler) {
        connect(m_actions.Item(name), &QAction::triggered, this, handler);
    };
    on(QStringLiteral("miNew"), [this] { m_files.New(); });
    on(QStringLiteral("miOpen"), [this] { m_files.Open(); });
    on(QStringLiteral("miSave"), [this] { m_files.Save(); });
    on(QStringLiteral("miSaveAs"), [this] { m_files.SaveAs(); });
    for (int i = 1; i <= 4; ++i) {
        on(entryName(i), [this, i] {
            m_files.OpenRecent(i);
            // The click toggled the entry's check mark; the list decides it.
            DisplayMRU(m_openFileFirst);
        });
    }
    connect(&m_files, &FileCommands::recentFilesChanged, this, &FileMenu::DisplayMRU);
    // "[*]" shows unsaved changes the platform's way.
    connect(&m_files, &FileCommands::titleChanged, &window,
            [&window](const QString &title) { window.setWindowTitle(title + QStringLiteral("[*]")); });
    connect(&m_files, &FileCommands::modifiedChanged, &window, &QWidget::setWindowModified);
}

void FileMenu::DisplayMRU(bool openFileFirst)
{
    m_openFileFirst = openFileFirst;
    Reported(QStringLiteral("0052"), [&] {
        const cMRUFileList &files = m_files.RecentFiles();
        for (int i = 1; i <= 4; ++i) {
            QAction *entry = m_actions.Item(entryName(i));
            const bool used = i <= files.FileCount() && files.FileExists(i);
            entry->setVisible(used);
            if (!used)
                continue;
            entry->setText(files.MenuCaption(i));
            entry->setData(i);
            // A check mark only ever comes from a click: keep it to the open file. The other
            // entries are not checkable, so that no style draws them an empty check box.
            const bool marked = i == 1 && openFileFirst;
            entry->setCheckable(marked);
            entry->setChecked(marked);
        }
        m_actions.Item(QStringLiteral("miMRUSep"))->setVisible(files.FileCount() > 0);
    });
}
