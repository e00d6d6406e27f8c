#include "mainwindow/FocusCycle.h"

#include <QApplication>
#include <QShortcut>
#include <QWidget>

#include <utility>

namespace {

bool takesTab(const QWidget *w)
{
    return (w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled();
}

// The first control inside `part` that takes Tab, or nullptr when none does.
QWidget *firstControl(QWidget *part)
{
    if (takesTab(part))
        return part;
    for (QWidget *w = part->nextInFocusChain(); w != part; w = w->nextInFocusChain()) {
        if (part->isAncestorOf(w) && takesTab(w))
            return w;
    }
    return nullptr;
}

} // namespace

FocusCycle::FocusCycle(QWidget &window, Parts parts)
    : QObject(&window)
    , m_parts(std::move(parts))
{
    const std::pair<QKeySequence, int> keys[] = {{QKeySequence(Qt::Key_F6), 1},
                                                 {QKeySequence(Qt::SHIFT | Qt::Key_F6), -1},
                                                 {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                                                 {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1}};
    for (const auto &[key, step] : keys) {
        auto *shortcut = new QShortcut(key, &window);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] { move(step); });
    }
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        const QList<Part> parts = m_parts();
        if (const qsizetype at = partOf(parts, now); at >= 0)
            m_last.insert(parts.at(at).area, now);
    });
}

qsizetype FocusCycle::partOf(const QList<Part> &parts, const QWidget *widget) const
{
    for (qsizetype i = 0; widget && i < parts.size(); ++i) {
        const QWidget *area = parts.at(i).area;
        if (area && (area == widget || area->isAncestorOf(widget)))
            return i;
    }
    return -1;
}

void FocusCycle::move(int step)
{
    const QList<Part> parts = m_parts();
    const qsizetype n = parts.size();
    qsizetype at = partOf(parts, QApplication::focusWidget());
    if (at < 0)
        at = step > 0 ? -1 : n;
    for (qsizetype tried = 1; tried <= n; ++tried) {
        const Part &part = parts.at(((at + step * tried) % n + n) % n);
        if (!part.area || !part.area->isVisible() || !part.area->isEnabled())
            continue;
        QWidget *last = m_last.value(part.area);
        if (QWidget *w = last && takesTab(last) ? last : firstControl(part.entry ? part.entry : part.area)) {
            // Not as Tab or Backtab: a child window taking either moves on to its first or last control.
            w->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
}
