// A message service for tests: records every message, answers with a scripted
// button, never shows a window.
#pragma once

#include <QString>
#include <QStringList>

#include "db/MessageService.h"

namespace quen::test {

class RecordingMessages : public MessageService {
public:
    RecordingMessages() { m_previous = setMessageService(this); }
    ~RecordingMessages() override { setMessageService(m_previous); }

    MsgResult show(MsgKind kind, const QString& text, MsgButtons, int, const QString&) override
    {
        texts << text;
        kinds << kind;
        return answer;
    }
    int count(const QString& text) const { return texts.count(text); }

    QStringList texts;
    QList<MsgKind> kinds;
    MsgResult answer = MsgResult::Ok;

private:
    MessageService* m_previous = nullptr;
};

} // namespace quen::test
