#pragma once

#include <QString>

#include <exception>

/// An error carrying a number and a description, as the error reports show them.
/// Core code throws it; the procedure that owns a routine code catches it and
/// hands it to ErrorReport.
class AppError : public std::exception
{
public:
    AppError(int number, QString description);

    int number() const noexcept { return m_number; }
    const QString &description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_what.constData(); }

    /// The conventional errors, with the descriptions users of the original knew.
    static AppError invalidArgument();
    static AppError typeMismatch();
    static AppError overflow();
    static AppError subscriptOutOfRange();
    static AppError fileNotFound();
    static AppError pathFileAccess(const QString &detail = QString());
    static AppError diskFull();
    /// A path that names a device, FIFO, socket or folder where a file belongs.
    static AppError notRegularFile(const QString &path);

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

/// An error a procedure records instead of showing: the application's last
/// error, kept for whoever asks and written to the log, never put in a box.
struct RecordedError
{
    QString source;
    int number = 0;
    QString description;
};
void RecordError(const QString &source, const AppError &error);
/// The last error recorded; an empty record when none was.
RecordedError LastRecordedError();
void ClearRecordedError();

namespace ErrorNumber {
inline constexpr int kInvalidArgument = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kFileNotFound = 53;
inline constexpr int kDiskFull = 61;
inline constexpr int kPathFileAccess = 75;
} // namespace ErrorNumber
