#pragma once

#include <QObject>

class QWidget;

/// Keeps every window on its screen when it is shown: no larger than the
/// screen's available area (a dialog shrinks as far as its layout lets it, its
/// scrolling part first), and its title bar on the screen, so that even a
/// screen of 800 by 480 pixels shows a whole dialog with its buttons. Installed
/// on the application, it sees every window.
class ScreenFit final : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    /// Fits `window` now: size, then place.
    static void Fit(QWidget &window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
