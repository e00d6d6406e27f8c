#include "support/RecordingMessages.h"

MsgAnswer RecordingMessages::show(const MessageRequest &request)
{
    if (m_whileShown) // set by the test before the boxes come
        m_whileShown();
    QMutexLocker lock(&m_mutex);
    m_shown.append(request);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return DefaultAnswer(request.buttons);
}

void RecordingMessages::queueAnswer(MsgAnswer answer)
{
    QMutexLocker lock(&m_mutex);
    m_answers.append(answer);
}

QList<MessageRequest> RecordingMessages::take()
{
    QMutexLocker lock(&m_mutex);
    return std::exchange(m_shown, {});
}

QStringList RecordingMessages::takeTexts()
{
    QStringList texts;
    for (const MessageRequest &r : take())
        texts << r.text;
    return texts;
}

void RecordingMessages::clear()
{
    QMutexLocker lock(&m_mutex);
    m_shown.clear();
    m_answers.clear();
    m_whileShown = nullptr;
}
