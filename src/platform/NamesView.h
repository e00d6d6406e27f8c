#pragma once

class QListView;
class QStringListModel;
class QWidget;

/// A list of names to pick from: a view over a string list model of its own,
/// not editable in place.
QListView *NamesView(QWidget *parent);

/// The names a view made by NamesView shows.
QStringListModel &ViewNames(const QListView &view);
