#pragma once

#include "app/ProgramProperties.h"

#include <QDialog>
#include <QHash>
#include <QString>
#include <QStringList>

class QGroupBox;
class QPushButton;

/// What an instruction dialog opens with.
struct EditStart
{
    bool insert = false;          ///< Insert: the empty defaults; Edit: the values of `line`
    QString line;                 ///< the line being edited
    ProgramProperties properties; ///< the servo value's range
    QStringList scripts;          ///< the loaded scripts, in their order
};

/// What the three instruction dialogs share: OK (`Command1`) and Cancel
/// (`Command2`), a fixed client size laid out in twips, the key filters of
/// their fields. A dialog only checks what the user entered; accepted, it
/// hands back the instruction line (Line), and the caller changes the listing.
class EditDialog : public QDialog
{
    Q_OBJECT
public:
    QPushButton *Command1() const { return m_ok; }
    QPushButton *Command2() const { return m_cancel; }

    virtual void Command1_Click() = 0;
    /// The line entered, once the dialog was accepted.
    QString Line() const { return m_line; }

protected:
    EditDialog(const EditStart &start, QWidget *owner, const QString &name, int widthTwips, int heightTwips);

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
    /// OK with a checked line: the dialog closes.
    void finish(const QString &line);

    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

    const EditStart m_start;

private:
    int twipsX(int twips) const;
    int twipsY(int twips) const;

    QPushButton *m_ok;
    QPushButton *m_cancel;
    QString m_line;
    QHash<QObject *, QString> m_accepted;
    QObject *m_selectsAll = nullptr;
};
