// Message services of the windowed programs and of the tests.
//
// TMessageBoxService shows each message as a modal message box of its kind
// (information, warning, error, confirmation) with the requested buttons; a
// Help button opens the message's help context in the help viewer and the
// box stays up, as the desktop convention has it. Each program installs one
// at start-up with installMessageBoxes().
//
// TScriptedMessages is the responder tests install instead: it records every
// message shown (kind, text, buttons, help context) and answers from a queue
// of scripted results; when the queue is empty it answers with the first
// button (Ok or Yes). It never opens a window.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "MessageService.h"

namespace quen {

class TMessageBoxService final : public MessageService {
public:
    MsgResult show(MsgKind kind, const QString& text, MsgButtons buttons = MsgButtons::Ok,
                   int helpContext = 0, const QString& caption = QString()) override;
};

// Installs the process-wide message box service (idempotent).
void installMessageBoxes();

class TScriptedMessages final : public MessageService {
public:
    struct Shown {
        MsgKind kind;
        QString text;
        MsgButtons buttons;
        int helpContext;
        QString caption;
    };

    TScriptedMessages();             // installs itself
    ~TScriptedMessages() override;   // restores the previous service

    MsgResult show(MsgKind kind, const QString& text, MsgButtons buttons = MsgButtons::Ok,
                   int helpContext = 0, const QString& caption = QString()) override;

    void answer(MsgResult r) { m_answers.append(r); }   // queue the next answer
    const QList<Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    int count() const { return int(m_shown.size()); }
    void clear() { m_shown.clear(); m_answers.clear(); }

private:
    QList<MsgResult> m_answers;
    QList<Shown> m_shown;
    MessageService* m_previous = nullptr;
};

} // namespace quen
