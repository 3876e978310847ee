#pragma once
// The single message-box helper of the program, with the platform's classic button and icon codes.

#include <QString>
#include <functional>

class QWidget;

namespace tv {

// Buttons (low bits) and icons, combined with "|", as the classic message box takes them.
enum MessageStyle : int {
    MsgOkOnly = 0,
    MsgOkCancel = 1,
    MsgYesNoCancel = 3,
    MsgYesNo = 4,
    MsgCritical = 16,
    MsgQuestion = 32,
    MsgExclamation = 48,
    MsgInformation = 64,
};

// What ShowMessage answers.
enum MessageAnswer : int { AnsOk = 1, AnsCancel = 2, AnsYes = 6, AnsNo = 7 };

// Shows a modal message box over the active window and answers the button pressed.
int ShowMessage(const QString &prompt, int style = MsgOkOnly, const QString &title = QString());

// Replaces the message box, e.g. in tests that answer questions themselves. The handler
// receives prompt, style and title and answers a MessageAnswer. An empty handler restores
// the real box.
using MessageHandler = std::function<int(const QString &, int, const QString &)>;
void SetMessageHandler(MessageHandler handler);

} // namespace tv
