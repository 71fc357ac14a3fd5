#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "MessageService.h"
#include "PreparedReport.h"

namespace testutil {

using quen::report::DrawOp;
using quen::report::PreparedReport;

inline QStringList pageTexts(const PreparedReport& r, int page)
{
    QStringList out;
    for (const DrawOp& op : r.pages.at(page).ops)
        if (op.kind == DrawOp::Text)
            out << op.text;
    return out;
}

inline QStringList allTexts(const PreparedReport& r)
{
    QStringList out;
    for (int i = 0; i < r.pageCount(); ++i)
        out << pageTexts(r, i);
    return out;
}

// Text operations of a page whose text is exactly t.
inline std::vector<DrawOp> find(const PreparedReport& r, int page, const QString& t)
{
    std::vector<DrawOp> out;
    for (const DrawOp& op : r.pages.at(page).ops)
        if (op.kind == DrawOp::Text && op.text == t)
            out.push_back(op);
    return out;
}

// Collects messages instead of showing them.
class ScriptedMessages : public quen::MessageService {
public:
    ScriptedMessages() { m_prev = quen::setMessageService(this); }
    ~ScriptedMessages() override { quen::setMessageService(m_prev); }
    quen::MsgResult show(quen::MsgKind kind, const QString& text, quen::MsgButtons, int, const QString&) override
    {
        kinds.push_back(kind);
        texts << text;
        return quen::MsgResult::Ok;
    }
    std::vector<quen::MsgKind> kinds;
    QStringList texts;

private:
    quen::MessageService* m_prev = nullptr;
};

} // namespace testutil
