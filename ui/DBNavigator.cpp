#include "DBNavigator.h"

#include <QHBoxLayout>

#include "MessageService.h"

namespace quen {

TDBNavigator::TDBNavigator(Kind kind, QWidget* parent) : QWidget(parent)
{
    static const char* glyphs[ButtonCount] = {"|<", "<", ">", ">|", "+", "-", "Edit", "Post", "Cancel", "Refresh"};
    static const char* hints[ButtonCount] = {"First record", "Prior record", "Next record", "Last record",
                                             "Insert record", "Delete record", "Edit record", "Post edit",
                                             "Cancel edit", "Refresh data"};
    static const char* names[ButtonCount] = {"NavFirst", "NavPrior", "NavNext", "NavLast", "NavInsert",
                                             "NavDelete", "NavEdit", "NavPost", "NavCancel", "NavRefresh"};
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(2);
    const int count = kind == Full ? int(ButtonCount) : int(Insert);
    for (int i = 0; i < count; ++i) {
        auto* b = new QPushButton(QString::fromLatin1(glyphs[i]), this);
        b->setObjectName(QString::fromLatin1(names[i]));
        b->setToolTip(QString::fromLatin1(hints[i]));
        b->setAutoDefault(false);
        b->setMinimumWidth(i < Insert ? 32 : 48);
        h->addWidget(b);
        m_buttons[i] = b;
        connect(b, &QPushButton::clicked, this, [this, i] { click(Button(i)); });
    }
    updateButtons();
}

void TDBNavigator::setDataSource(TDataSource* ds)
{
    for (auto& c : m_conns) disconnect(c);
    m_conns.clear();
    m_ds = ds;
    if (ds) {
        m_conns << connect(ds, &TDataSource::recordChanged, this, &TDBNavigator::updateButtons);
        m_conns << connect(ds, &TDataSource::stateChanged, this, &TDBNavigator::updateButtons);
        m_conns << connect(ds, &TDataSource::dataSetChanged, this, &TDBNavigator::updateButtons);
    }
    updateButtons();
}

void TDBNavigator::updateButtons()
{
    TTable* t = m_ds ? m_ds->dataSet() : nullptr;
    const bool open = t && t->isOpen();
    const bool browse = open && t->state() == TTable::State::Browse;
    const bool editing = open && !browse;
    const bool empty = !open || t->isEmpty();
    const int rec = open ? t->recNo() : 0;
    const int count = open ? t->recordCount() : 0;
    const bool canBack = browse && !empty && rec > 1;
    const bool canFwd = browse && !empty && rec < count;
    const bool enable[ButtonCount] = {canBack, canBack, canFwd, canFwd, open,
                                      browse && !empty, browse && !empty, editing, editing, browse};
    for (int i = 0; i < ButtonCount; ++i)
        if (m_buttons[i]) m_buttons[i]->setEnabled(enable[i]);
}

void TDBNavigator::click(Button b)
{
    TTable* t = m_ds ? m_ds->dataSet() : nullptr;
    if (!t || !t->isOpen()) return;
    switch (b) {
    case First: t->first(); break;
    case Prior: t->prior(); break;
    case Next: t->next(); break;
    case Last: t->last(); break;
    case Insert: t->insert(); break;
    case Delete:
        if (t->isEmpty()) return;
        if (m_confirmDelete && !askYesNo(QStringLiteral("Delete record?"))) return;
        t->remove();
        break;
    case Edit: t->edit(); break;
    case Post: t->post(); break;
    case Cancel: t->cancel(); break;
    case Refresh: t->refresh(); break;
    case ButtonCount: return;
    }
    updateButtons();
    emit clicked(b);
}

} // namespace quen
