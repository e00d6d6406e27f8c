#pragma once

#include <QByteArray>
#include <QString>

/// Whole-file helpers. Text is written as UTF-8; each line read is taken as
/// UTF-8 when its bytes are valid UTF-8 and as Latin-1 otherwise (files from
/// older systems), so no character is ever lost or replaced. Only regular files
/// are read or replaced: a device, FIFO or socket is refused, never opened for
/// a blocking read.

/// The text of a file's bytes, decided line by line; a leading UTF-8
/// byte-order mark is dropped. Line ends are kept as they are.
QString DecodeFileText(const QByteArray &bytes);

/// One line's text, as DecodeFileText decides it; a byte-order mark here is content.
QString DecodeLineText(QByteArrayView line);

/// The bytes a text is written as: UTF-8, so an all-ASCII text stays byte for byte.
QByteArray EncodeFileText(const QString &text);

/// The file's whole content; "" for an empty file. A failure is reported
/// (routine "0140") and gives "".
QString ReadWholeFile(const QString &path);

/// Replaces the file with the text's bytes, nothing added. Written to a
/// temporary file beside it and renamed over, so a failed write (a full disk
/// included) leaves the previous file whole. A read-only file is not replaced.
/// A failure is reported (routine "0141") and gives false.
bool WriteWholeFile(const QString &path, const QString &text);

/// True when the file can be opened for reading; never reports. Something
/// that exists but is neither a file nor a folder counts, so that its reader
/// refuses it with a clear error instead of "not found".
bool FileExistsOnDisk(const QString &path);
/// The same for a file named by the system's bytes.
bool NativeFileExistsOnDisk(const QByteArray &native);

/// The same, throwing AppError instead of reporting, for callers that own the report.
QByteArray ReadWholeFileBytes(const QString &path);
/// The same for a file named by the system's bytes, which a name in Latin-1
/// bytes (a file from an older system) needs: no QString path can name it.
QByteArray ReadNativeFileBytes(const QByteArray &native);
void WriteWholeFileBytes(const QString &path, const QByteArray &bytes);
