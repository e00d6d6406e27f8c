#pragma once

#include <QByteArray>
#include <QString>

/// Whole-file helpers. Files are single-byte text: each byte is one character
/// (Latin-1 mapping), so bytes come back exactly as they were written.

/// The file's whole content; "" for an empty file. A failure is reported
/// (routine "0140") and gives "".
QString ReadWholeFile(const QString &path);

/// Replaces the file with the text's bytes, nothing added. Written to a
/// temporary file beside it and renamed over, so a failed write leaves the
/// previous file whole. A failure is reported (routine "0141") and gives false.
bool WriteWholeFile(const QString &path, const QString &text);

/// True when the file can be opened for reading; never reports.
bool FileExistsOnDisk(const QString &path);

/// The same, throwing AppError instead of reporting, for callers that own the report.
QByteArray ReadWholeFileBytes(const QString &path);
void WriteWholeFileBytes(const QString &path, const QByteArray &bytes);
