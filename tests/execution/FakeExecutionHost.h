#pragma once

#include "link/IRunLink.h"
#include "link/ServoFrame.h"
#include "platform/AppError.h"

#include <QList>
#include <QMutex>
#include <QSemaphore>

#include <memory>
#include <utility>

/// The frames of every run, in order; can hold frame `holdAt` (counted from 0)
/// once it is written, until the test lets it go.
struct FrameLog
{
    QMutex mutex;
    QList<QByteArray> frames;
    int holdAt = -1;
    QSemaphore entered;
    QSemaphore release;

    QList<QByteArray> taken()
    {
        QMutexLocker lock(&mutex);
        return frames;
    }
};

class LogSink final : public IFrameSink
{
public:
    explicit LogSink(FrameLog &log, std::unique_ptr<IFrameSink> inner = nullptr)
        : m_log(log)
        , m_inner(std::move(inner))
    {
    }
    void WriteFrame(const ServoFrame &frame) override
    {
        bool hold = false;
        {
            QMutexLocker lock(&m_log.mutex);
            m_log.frames.append(frame.bytes());
            hold = m_log.frames.size() - 1 == m_log.holdAt;
        }
        if (hold) {
            m_log.entered.release();
            m_log.release.acquire();
        }
        if (m_inner)
            m_inner->WriteFrame(frame);
    }

private:
    FrameLog &m_log;
    std::unique_ptr<IFrameSink> m_inner; ///< takes each frame after the log, and after a hold
};

/// A link that is Online unless told otherwise; its runs write to `log`. Also
/// keeps the interface locks a test records. Given a session, it is that session's port behind the log.
class FakeHost final : public IRunLink
{
public:
    bool open = true;
    int goOnlineError = 0;
    int goOnlineCalls = 0;
    QString center = QStringLiteral("False");
    QList<bool> locks;
    FrameLog log;
    IRunLink *session = nullptr;

    bool PortOpen() const override { return session ? session->PortOpen() : open; }
    void GoOnline() override
    {
        ++goOnlineCalls;
        if (session)
            return session->GoOnline();
        if (goOnlineError)
            throw AppError(goOnlineError, QStringLiteral("no such port"));
        open = true;
    }
    QString CenterOnExecution() const override { return session ? session->CenterOnExecution() : center; }
    std::unique_ptr<IFrameSink> CreateRunFrameSink() override
    {
        if (!session)
            return open ? std::make_unique<LogSink>(log) : nullptr;
        auto inner = session->CreateRunFrameSink();
        return inner ? std::make_unique<LogSink>(log, std::move(inner)) : nullptr;
    }
};
