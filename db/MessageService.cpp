#include "MessageService.h"

#include <cstdio>

namespace quen {

namespace {

const char* kindText(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Information: return "Information";
    case MsgKind::Warning: return "Warning";
    case MsgKind::Error: return "Error";
    case MsgKind::Confirmation: return "Confirm";
    }
    return "";
}

// Default service: writes to stderr and answers with the first button.
class StderrMessages final : public MessageService {
public:
    MsgResult show(MsgKind kind, const QString& text, MsgButtons buttons, int, const QString&) override
    {
        std::fprintf(stderr, "%s: %s\n", kindText(kind), qPrintable(text));
        switch (buttons) {
        case MsgButtons::Ok:
        case MsgButtons::OkCancel: return MsgResult::Ok;
        default: return MsgResult::Yes;
        }
    }
};

StderrMessages g_default;
MessageService* g_current = &g_default;

} // namespace

MessageService& messages() { return *g_current; }

MessageService* setMessageService(MessageService* service)
{
    MessageService* previous = g_current == &g_default ? nullptr : g_current;
    g_current = service ? service : &g_default;
    return previous;
}

} // namespace quen
