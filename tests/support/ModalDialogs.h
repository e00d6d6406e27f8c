#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>

/// Acts on the modal dialog of type T once it is shown (dialogs are modal in
/// the program; a test must not block on exec). Gives up after two seconds,
/// leaving *seen false.
template <typename T> void WhenShown(std::function<void(T *)> act, bool *seen)
{
    // The timer owns the polling and goes once it has acted or given up, so
    // nothing holds on to `act` afterwards.
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act, seen, tries = 0]() mutable {
        if (T *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            // Stopped first: acting may run an event loop of its own.
            timer->stop();
            *seen = true;
            act(dialog);
            timer->deleteLater();
        } else if (++tries >= 200) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}
