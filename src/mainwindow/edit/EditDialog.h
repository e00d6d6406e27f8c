#pragma once

#include <QDialog>
#include <QHash>
#include <QString>

class EditCommands;
class QGroupBox;
class QPushButton;

/// What the three instruction dialogs share: OK (`Command1`) and Cancel
/// (`Command2`), a fixed client size laid out in twips, the key filters of
/// their fields, and Cancel ending InsertMode on every way out.
class EditDialog : public QDialog
{
    Q_OBJECT
public:
    QPushButton *Command1() const { return m_ok; }
    QPushButton *Command2() const { return m_cancel; }

    virtual void Command1_Click() = 0;
    /// InsertMode ends; the dialog closes.
    void Command2_Click();

public Q_SLOTS:
    /// Escape and the window's close button count as Cancel.
    void reject() override;

protected:
    EditDialog(EditCommands &commands, QWidget *owner, const QString &name, int widthTwips, int heightTwips);

    /// Twips from the top left of the dialog or of the frame the widget sits in.
    void place(QWidget *widget, int left, int top, int width, int height = 0);
    QGroupBox *addFrame(const QString &caption, int left, int top, int width, int height);
    void placeButtons(int okLeft, int okTop, int cancelLeft, int cancelTop);
    /// Enter in `field` runs OK; a typed character outside `accepted` is dropped,
    /// editing keys pass. A null `accepted` lets every key through.
    void filterKeys(QWidget *field, const QString &accepted = QString());
    /// The line edit selects all of its text when it gains the focus.
    void selectAllOnFocus(QWidget *field);
    void showError(const QString &text, QWidget *field);

    bool eventFilter(QObject *watched, QEvent *event) override;

    EditCommands &m_commands;

private:
    int twipsX(int twips) const;
    int twipsY(int twips) const;

    QPushButton *m_ok;
    QPushButton *m_cancel;
    QHash<QObject *, QString> m_accepted;
    QObject *m_selectsAll = nullptr;
};
