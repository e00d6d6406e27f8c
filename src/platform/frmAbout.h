#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

/// The About box: the program's name, version, makers and their web site, and
/// a button that starts the desktop's system-information tool.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    /// The tools System Info looks for on PATH, first found first started.
    static const QStringList kSystemInfoTools;
    /// The settings value that names a tool of the user's choice, tried first.
    static const QString kSystemInfoValue;

    /// Takes its icon from `owner`, the main window.
    explicit frmAbout(QWidget *owner = nullptr);

    QLabel *lblVersion() const { return m_version; }
    QPushButton *cmdOK() const { return m_ok; }
    QPushButton *cmdSysInfo() const { return m_sysInfo; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void StartSysInfo();
    /// One value of the settings store as text (a number as "&h" and hex); false when it cannot be read.
    static bool GetKeyValue(quint32 keyRoot, const QString &keyName, const QString &subKeyRef, QString &keyVal);

    QLabel *m_title;
    QLabel *m_version;
    QLabel *m_link;
    QPushButton *m_ok;
    QPushButton *m_sysInfo;
};
