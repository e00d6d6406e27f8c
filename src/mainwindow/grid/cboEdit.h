#pragma once

#include <QComboBox>
#include <QString>

/// The value chooser laid over a grid cell: a drop-down list the user can only
/// pick from. Its Tag holds the number of the row it edits, as text.
/// Only a real choice is reported as activated: Enter, a click in the opened
/// list. Arrow keys, typing and the wheel only move the highlight, since some
/// choices open a dialog or a port.
class cboEdit : public QComboBox
{
    Q_OBJECT
public:
    explicit cboEdit(QWidget *parent = nullptr);

    QString Tag() const { return m_tag; }
    void SetTag(const QString &tag) { m_tag = tag; }

Q_SIGNALS:
    /// The focus went elsewhere (not to the chooser's own drop-down list).
    void FocusLost();

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QString m_tag;
};
