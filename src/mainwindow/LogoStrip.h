#pragma once

#include <QWidget>

/// The vertical logo strip at the left of the side panel: a gradient from the
/// active title bar colour at the bottom to black at the top, with the caption
/// written upwards from the bottom left corner.
class LogoStrip : public QWidget
{
    Q_OBJECT
public:
    explicit LogoStrip(QWidget *parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_caption;
};
