#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>
#include <memory>

/// Acts on the modal dialog of type T once it is shown (dialogs are modal in
/// the program; a test must not block on exec). Gives up after two seconds,
/// leaving *seen false.
template <typename T> void WhenShown(std::function<void(T *)> act, bool *seen)
{
    auto tries = std::make_shared<int>(0);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, seen, tries, self = std::weak_ptr(poll)] { // only a pending timer may hold the poll
        if (T *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            *seen = true;
            act(dialog);
        } else if (++*tries < 200) {
            QTimer::singleShot(10, [next = self.lock()] { (*next)(); });
        }
    };
    QTimer::singleShot(0, [poll] { (*poll)(); });
}
