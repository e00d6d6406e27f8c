#pragma once

#include <QDialog>
#include <QStringList>

class QListView;
class QPushButton;
class ServoModel;

/// "Load Scripts...": moves script names between "Available Scripts" (the
/// Scripts folder's files not loaded yet) and "Loaded Scripts". OK makes the
/// loaded list the servo model's LoadedScripts; Cancel changes nothing.
class frmLoadScript : public QDialog
{
    Q_OBJECT
public:
    /// `files`: the Scripts folder's script files, in listing order.
    frmLoadScript(ServoModel &servos, const QStringList &files, QWidget *parent = nullptr);

    QListView *lstAvailable() const { return m_available; }
    QListView *lstLoaded() const { return m_loaded; }
    QPushButton *cmdAdd() const { return m_add; }
    QPushButton *cmdAddAll() const { return m_addAll; }
    QPushButton *cmdRemoveAll() const { return m_removeAll; }
    QPushButton *cmdRemove() const { return m_remove; }
    QPushButton *cmdOK() const { return m_ok; }
    QPushButton *cmdCancel() const { return m_cancel; }

private:
    void Form_Load(const QStringList &files);
    void moveSelected(QListView *from, QListView *to);
    void moveAll(QListView *from, QListView *to);
    void cmdOK_Click();

    ServoModel &m_servos;
    QListView *m_available;
    QListView *m_loaded;
    QPushButton *m_add;
    QPushButton *m_addAll;
    QPushButton *m_removeAll;
    QPushButton *m_remove;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
