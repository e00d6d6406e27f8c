#pragma once

#include "timeline/TimelineView.h"

#include <QString>

#include <optional>

/// Pictures of the timeline as files, drawn by the view's own painting.
namespace TimelineExport {

enum class Format { Png, Svg };

/// The format a file name asks for by its extension: SVG for ".svg", else PNG.
Format FormatOf(const QString &path);

/// Writes the picture to path, replacing the file only once it is whole. Empty when it was
/// written, else why not.
QString Write(const TimelineView &view, const QString &path, TimelineView::Extent extent, Format format);

/// Asks for a file (of the format given, or either, chosen by the name's extension), writes it,
/// and tells the user when it could not be written.
void Ask(const TimelineView &view, TimelineView::Extent extent, std::optional<Format> format = std::nullopt);

} // namespace TimelineExport
