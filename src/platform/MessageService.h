#pragma once

#include <QString>

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

/// Shows a user message with the application's title.
MsgAnswer ShowUserMessage(const QString &text, MsgButtons buttons, MsgIcon icon);
