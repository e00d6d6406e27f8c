#pragma once

#include "platform/MessageService.h"

#include <QList>
#include <QMutex>

#include <functional>

/// Answers message boxes from a script and records every one shown. Tests
/// take what they expect; anything left over fails the test (see TestBase).
class RecordingMessages final : public IMessageService
{
public:
    MsgAnswer show(const MessageRequest &request) override;

    /// Answers for the next boxes, in order; without one a box gets Ok, or No for a question.
    void queueAnswer(MsgAnswer answer);
    /// Runs while each box is shown (a user taking their time); until clear().
    void whileShown(std::function<void()> action) { m_whileShown = std::move(action); }

    /// The boxes shown so far, forgotten afterwards.
    QList<MessageRequest> take();
    /// The texts of the boxes shown so far, forgotten afterwards.
    QStringList takeTexts();
    void clear();

private:
    mutable QMutex m_mutex;
    QList<MessageRequest> m_shown;
    QList<MsgAnswer> m_answers;
    std::function<void()> m_whileShown;
};
