#pragma once

#include <QDialog>
#include <QString>

class GridValueEntry;
class QLabel;
class QLineEdit;
class QPushButton;

/// The Custom Value dialog: takes a typed value for one grid row and hands it
/// to the grid's value entry, which checks and applies it. OK and Cancel (and
/// Escape or closing the window, which count as Cancel) always leave the cell
/// with a real value again.
class frmCustom : public QDialog
{
    Q_OBJECT
public:
    frmCustom(GridValueEntry &entry, QWidget *owner = nullptr);

    /// Fills the dialog for an edit of `row`: the prompt, the value before the
    /// edit (all of it selected) and the Tag.
    void Prepare(int row, const QString &prompt, const QString &value);
    /// Right edge on the owner's right edge, top 255 twips below the side panel's top.
    void Place(const QRect &ownerFrame, int sidePanelTop);

    QString Tag() const { return m_tag; }
    QLabel *Label1() const { return m_label; }
    QLineEdit *Text1() const { return m_text; }
    QPushButton *Command1() const { return m_ok; }
    QPushButton *Command2() const { return m_cancel; }

    void Command1_Click();
    void Command2_Click();

public Q_SLOTS:
    void reject() override;

private:
    void fitToFont();
    int twipsX(int twips) const;
    int twipsY(int twips) const;

    GridValueEntry &m_entry;
    QString m_tag;
    bool m_finished = false;
    QLabel *m_label;
    QLineEdit *m_text;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
