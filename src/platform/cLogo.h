#pragma once

#include <QColor>
#include <QPointer>
#include <QString>

class QFont;
class QPainter;
class QSize;
class QWidget;

/// Paints the vertical logo strip: bands from StartColor at the bottom towards
/// EndColor at the top, and the caption written upwards from near the bottom
/// left corner.
class cLogo
{
public:
    cLogo();

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption) { m_caption = caption; }
    /// The widget the strip is painted on; a changed colour repaints it.
    void SetDrawingObject(QWidget *surface) { m_surface = surface; }
    QColor StartColor() const { return m_start; }
    void SetStartColor(const QColor &color);
    QColor EndColor() const { return m_end; }
    void SetEndColor(const QColor &color);

    /// Paints a surface of `size` pixels; the caption in `font` and `textColor`.
    void Draw(QPainter &painter, const QSize &size, const QFont &font, const QColor &textColor) const;

private:
    void repaint() const;

    QString m_caption;
    QPointer<QWidget> m_surface;
    QColor m_start;
    QColor m_end;
};
