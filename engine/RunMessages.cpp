#include "RunMessages.h"

namespace quen {

void RunMessages::showOnce(MsgKind kind, const QString& text)
{
    if (m_shown.contains(text))
        return;
    m_shown.insert(text);
    messages().show(kind, text);
}

void ShowEngineMessage(RunMessages* once, MsgKind kind, const QString& text)
{
    if (once)
        once->showOnce(kind, text);
    else
        messages().show(kind, text);
}

} // namespace quen
