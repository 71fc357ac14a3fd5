// Messages of one engine run.
//
// Some engine messages concern the station rather than the month being
// computed (a malformed latitude is read up to 36 times in one Blaney-Criddle
// run); a RunMessages shows each distinct text once per run. Routines that
// take a RunMessages* show every message when they get nullptr.
#pragma once

#include <QSet>
#include <QString>

#include "db/MessageService.h"

namespace quen {

class RunMessages {
public:
    // Shows the text unless it was already shown in this run.
    void showOnce(MsgKind kind, const QString& text);
    void clear() { m_shown.clear(); }
    // Whether the text was shown in this run.
    bool wasShown(const QString& text) const { return m_shown.contains(text); }

private:
    QSet<QString> m_shown;
};

// Shows through once when given, else directly.
void ShowEngineMessage(RunMessages* once, MsgKind kind, const QString& text);

} // namespace quen
