// The one way every part of the system tells the user something.
//
// Engine, data modules and windows never open a message box themselves: they
// call messages().show(...). The windowed programs install a service that
// shows a modal box (ui/); quenpm-calc installs one that collects the texts;
// tests install a scripted responder so that no test ever waits on a modal
// window. Without an installed service the texts go to stderr and every
// question is answered with its first (affirmative) button.
#pragma once

#include <QString>

namespace quen {

enum class MsgKind { Information, Warning, Error, Confirmation };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, YesNoHelp };
enum class MsgResult { Ok, Cancel, Yes, No, Help };

class MessageService {
public:
    virtual ~MessageService() = default;
    // Shows text with the given kind and buttons and returns the button
    // chosen. helpContext is the help topic of the Help button (0: none);
    // caption is the box title (empty: the application title).
    virtual MsgResult show(MsgKind kind, const QString& text,
                           MsgButtons buttons = MsgButtons::Ok,
                           int helpContext = 0,
                           const QString& caption = QString()) = 0;
};

// The service in force. Never null.
MessageService& messages();

// Installs a service (not owned) and returns the previous one; nullptr
// restores the stderr default.
MessageService* setMessageService(MessageService* service);

// Shorthands for the common cases.
inline void showInfo(const QString& text) { messages().show(MsgKind::Information, text); }
inline void showWarning(const QString& text) { messages().show(MsgKind::Warning, text); }
inline void showError(const QString& text) { messages().show(MsgKind::Error, text); }
inline bool askYesNo(const QString& text, int helpContext = 0)
{
    return messages().show(MsgKind::Confirmation, text, MsgButtons::YesNo, helpContext) == MsgResult::Yes;
}

} // namespace quen
