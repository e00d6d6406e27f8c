#pragma once

#include <QString>

#include <optional>

/// One value of a file; a missing file reads "". Never reports.
QString ReadIniValue(const QString &section, const QString &key, const QString &file);
/// One value written (read, edit, atomic replace); nullopt removes the key. Throws AppError on failure.
void WriteIniValue(const QString &section, const QString &key, const std::optional<QString> &value,
                   const QString &file);
