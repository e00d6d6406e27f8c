#include "sound/SoundFile.h"

#include "platform/AppError.h"

#include <QFile>

#include <sndfile.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

AppError cannotRead(const QString &path, const QString &reason)
{
    return AppError::pathFileAccess(path + QStringLiteral(": ") + reason);
}

} // namespace

SoundFile SoundFile::Open(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    // Non-blocking, so that a FIFO is refused below instead of waiting for a writer.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR)
            throw AppError(ErrorNumber::kFileNotFound, QStringLiteral("File not found (%1)").arg(path));
        throw cannotRead(path, QString::fromLocal8Bit(std::strerror(err)));
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw AppError::notRegularFile(path);
    }
    if (st.st_size == 0) {
        ::close(fd);
        throw cannotRead(path, QStringLiteral("the file is empty"));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);

    SF_INFO sfInfo = {};
    SNDFILE *file = sf_open_fd(fd, SFM_READ, &sfInfo, SF_TRUE);
    if (!file) {
        // sf_open_fd has closed the descriptor on failure too.
        const QString reason = QString::fromLocal8Bit(sf_strerror(nullptr));
        throw cannotRead(path, QStringLiteral("not a sound file that can be read (%1)").arg(reason));
    }
    if (sfInfo.channels < 1 || sfInfo.samplerate < 1) {
        sf_close(file);
        throw cannotRead(path, QStringLiteral("the sound has no channels or no sample rate"));
    }
    SoundFile sound;
    sound.m_file = file;
    sound.m_info = {sfInfo.frames, sfInfo.samplerate, sfInfo.channels};
    return sound;
}

SoundFile::SoundFile(SoundFile &&other) noexcept
    : m_file(std::exchange(other.m_file, nullptr))
    , m_info(other.m_info)
    , m_interleaved(std::move(other.m_interleaved))
{
}

SoundFile &SoundFile::operator=(SoundFile &&other) noexcept
{
    if (this != &other) {
        if (m_file)
            sf_close(m_file);
        m_file = std::exchange(other.m_file, nullptr);
        m_info = other.m_info;
        m_interleaved = std::move(other.m_interleaved);
    }
    return *this;
}

SoundFile::~SoundFile()
{
    if (m_file)
        sf_close(m_file);
}

qint64 SoundFile::readMono(float *mono, qint64 frames)
{
    if (!m_file || frames <= 0)
        return 0;
    const int channels = m_info.channels;
    if (channels == 1)
        return sf_readf_float(m_file, mono, frames);
    m_interleaved.resize(size_t(frames) * size_t(channels));
    const qint64 got = sf_readf_float(m_file, m_interleaved.data(), frames);
    const float *in = m_interleaved.data();
    if (channels == 2) { // the common case, in a loop the compiler vectorizes
        for (qint64 i = 0; i < got; ++i)
            mono[i] = (in[2 * i] + in[2 * i + 1]) * 0.5f;
        return got;
    }
    const float scale = 1.0f / float(channels);
    for (qint64 i = 0; i < got; ++i) {
        float sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += *in++;
        mono[i] = sum * scale;
    }
    return got;
}

SoundInfo ReadSoundInfo(const QString &path)
{
    return SoundFile::Open(path).info();
}
