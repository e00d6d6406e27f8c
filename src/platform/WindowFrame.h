#pragma once

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
