#pragma once

#include "platform/cLogo.h"

#include <QWidget>

/// The vertical logo strip at the left of the side panel, painted by cLogo: a
/// gradient from the active title bar colour at the bottom to black at the
/// top, with the caption written upwards from the bottom left corner. Its
/// colours are the palette's (Highlight, Shadow, HighlightedText), dark
/// theme or light.
class LogoStrip : public QWidget
{
    Q_OBJECT
public:
    explicit LogoStrip(QWidget *parent = nullptr);

    QString Caption() const { return m_logo.Caption(); }
    void SetCaption(const QString &caption);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void takeColors();

    cLogo m_logo;
};
