#pragma once

#include <QObject>

class MainActions;
class ProgramListing;
class QAction;

/// The Edit menu's commands. Undo and Redo act from either view (they also
/// take back what the Servo Controller logged); the others act on the
/// selected lines of the Execution Controller and only while it is shown:
/// their actions are off otherwise, so that a disabled action takes the key
/// and none of them reaches the Servo Controller's sliders.
class EditMenu final : public QObject
{
    Q_OBJECT
public:
    EditMenu(MainActions &actions, ProgramListing &listing, QObject *parent);

private:
    QAction *item(const char *name) const;
    void refresh();
    void copy();
    void cut();
    void paste();
    void selectAll();

    MainActions &m_actions;
    ProgramListing &m_listing;
};
