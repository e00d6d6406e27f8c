#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLineEdit;
class QListView;
class QPushButton;

/// "Save Script As...": a script name typed or picked from the existing
/// scripts. OK ends the name in ".tqs", refuses a name that is no file of the
/// Scripts folder, asks before replacing a file of that name in any letter
/// case, and hands the name to the save; the dialog closes once the script is
/// written.
class frmSaveScript : public QDialog
{
    Q_OBJECT
public:
    /// Writes the listing as the script `name` in the Scripts folder; false
    /// when nothing was written (the failure has been reported).
    using SaveFunction = std::function<bool(const QString &name)>;

    frmSaveScript(const QString &scriptsFolder, SaveFunction save, QWidget *parent = nullptr);

    QLineEdit *txtName() const { return m_name; }
    QListView *File1() const { return m_files; }
    QPushButton *cmdOK() const { return m_ok; }
    QPushButton *cmdCancel() const { return m_cancel; }

private:
    void Form_Load();
    void File1_Click();
    void cmdOK_Click();

    QString m_folder;
    SaveFunction m_save;
    QLineEdit *m_name;
    QListView *m_files; // the Scripts folder's names
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
