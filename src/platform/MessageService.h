#pragma once

#include <QString>

#include <utility>

/// Buttons, icons and answers of a message box.
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Critical, Question, Exclamation };
enum class MsgAnswer { Ok, Cancel, Yes, No };

/// Everything a message box shows.
struct MessageRequest
{
    QString title;
    QString text;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
};

/// The one way any part of the program shows a message box. The UI installs a
/// QMessageBox-backed service, the headless player one that prints, tests one
/// that answers from a script and records what was shown.
class IMessageService
{
public:
    virtual ~IMessageService() = default;
    virtual MsgAnswer show(const MessageRequest &request) = 0;
};

/// The title of the application's user messages.
inline const QString kUserMessageTitle = QStringLiteral("Taveloq v1.1");
/// The title of error reports.
inline const QString kErrorReportTitle = QStringLiteral("Taveloq");

/// The answer of a box nobody can click: Ok, or No for a question.
MsgAnswer DefaultAnswer(MsgButtons buttons);

/// Boxes nobody can click, for a program without windows: each text goes to stderr in plain
/// lines after "PREFIX: " (the box's title when there is no prefix) and gets DefaultAnswer.
class StderrMessageService final : public IMessageService
{
public:
    explicit StderrMessageService(QString prefix = {})
        : m_prefix(std::move(prefix))
    {
    }
    MsgAnswer show(const MessageRequest &request) override;
    int shown = 0; ///< how many boxes were shown

private:
    QString m_prefix;
};

/// Shows a user message with the application's title.
MsgAnswer ShowUserMessage(const QString &text, MsgButtons buttons, MsgIcon icon);
