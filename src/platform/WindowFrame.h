#pragma once

#include <QMargins>

class QScrollArea;
class QWidget;

/// The width a window's title bar needs to show its whole caption: the caption
/// in bold, as title bars draw it, beside the window's icon and three buttons.
/// The window manager's own font is not known to the program; this is a close
/// upper estimate for the usual ones.
int TitleBarWidth(const QWidget &window);

/// A window that may be resized is never made narrower than its caption needs.
void FitTitle(QWidget &window);

/// Keeps a dialog at one size, so that window managers offer neither resizing
/// nor maximising: its natural size (its layout's, or the size it was given),
/// widened for its caption. Controls placed by hand move to the middle of the
/// room gained. Idempotent, so it may run at every showing.
void FixDialogSize(QWidget &dialog);

/// The window frame's margins: the window manager's once it has framed the
/// window, until then a title bar as high as its caption font needs.
QMargins FrameMargins(const QWidget &window);

/// Puts `body`, the part of a dialog above its buttons, in a frameless scroll
/// area that asks for all of the body's room but can shrink to a few lines, so
/// that on a small screen the body scrolls and the buttons stay in view.
QScrollArea *ScrollingBody(QWidget *body, QWidget *parent);
