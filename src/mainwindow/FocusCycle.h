#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

/// Moves the keyboard focus between the parts of a window, as desktop programs
/// do with F6 and Shift+F6 (and Ctrl+Tab, Ctrl+Shift+Tab): Tab stays inside a
/// part, these keys go to the next part.
class FocusCycle final : public QObject
{
    Q_OBJECT
public:
    /// A part of the window, and where the keyboard enters it the first time
    /// (a control, or a widget whose first control; nullptr: the area's first
    /// control); later it comes back to where it last was. A part inside an
    /// earlier one (the grid in the side panel) is left out of the later one.
    struct Part
    {
        QWidget *area = nullptr;
        QWidget *entry = nullptr;
    };
    /// The parts in order; hidden or disabled ones are passed over.
    using Parts = std::function<QList<Part>()>;

    FocusCycle(QWidget &window, Parts parts);

    void Next() { move(1); }
    void Previous() { move(-1); }

private:
    void move(int step);
    /// The index of the part holding `widget`, -1 for none.
    qsizetype partOf(const QList<Part> &parts, const QWidget *widget) const;

    Parts m_parts;
    /// Where the focus last was in each part, by the part's area.
    QHash<const QWidget *, QPointer<QWidget>> m_last;
};
