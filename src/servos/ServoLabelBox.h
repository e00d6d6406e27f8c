#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;

/// A servo's label box with its status check box drawn inside at the left
/// edge. The check box stays a sibling of the text box, not a child, so that
/// disabling the text box leaves the check box usable to enable it again.
class ServoLabelBox : public QWidget
{
    Q_OBJECT
public:
    explicit ServoLabelBox(int servo, QWidget *parent = nullptr);

    QLineEdit *text() const { return m_text; }
    QCheckBox *check() const { return m_check; }

    /// Enables or greys the text box as a click on the check box does.
    void ApplyCheck();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void placeCheck();

    QLineEdit *m_text;
    QCheckBox *m_check;
};
