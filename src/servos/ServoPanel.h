#pragma once

#include <QGroupBox>

class QLabel;
class QPushButton;
class QSlider;

/// One servo's frame on the Servo Controller: slider, value label, "Center" and
/// "Log". The value label sits in the caption band, centred over the slider, so
/// that eight panels fit one above the other in the main window's child area.
/// A caption too long for the panel is cut with an ellipsis, never widening it.
class ServoPanel : public QGroupBox
{
    Q_OBJECT
public:
    explicit ServoPanel(int servo, QWidget *parent = nullptr);

    QSlider *slider() const { return m_slider; }
    QLabel *valueLabel() const { return m_value; }
    QPushButton *centerButton() const { return m_center; }
    QPushButton *logButton() const { return m_log; }

    /// The servo's label as given, whatever part of it the frame shows.
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitButtons();
    void placeValueLabel();
    void showCaption();
    bool pressLost() const;

    QString m_caption;

    QPushButton *m_center;
    QSlider *m_slider;
    QLabel *m_value;
    QPushButton *m_log;
};
