#include "PlainTableForm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "EnterFocus.h"
#include "Help.h"
#include "NumEdit.h"

namespace quen::cropprog {

TPlainTableForm::TPlainTableForm(const QString& objectName, const QString& caption, TDataSource* source,
                                 const QString& nameField, QWidget* parent)
    : QDialog(parent), Source(source)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setHelpContext(this, 19105);
    auto* v = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    Grid = new TDBGrid(this);
    Grid->setDataSource(source);
    Grid->addColumn(nameField, nameField, 240);
    Grid->setMinimumWidth(260);
    top->addWidget(Grid, 1);
    m_right = new QWidget(this);
    auto* rv = new QVBoxLayout(m_right);
    rv->setContentsMargins(0, 0, 0, 0);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(nameField, m_right));
    NameEdit = new TDBEdit(source, nameField, m_right);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    installEnterMovesFocus(NameEdit);
    nameRow->addWidget(NameEdit, 1);
    rv->addLayout(nameRow);
    top->addWidget(m_right, 2);
    v->addLayout(top, 1);
    Navigator = new TDBNavigator(TDBNavigator::Full, this);
    Navigator->setDataSource(source);
    v->addWidget(Navigator);
    auto* h = new QHBoxLayout;
    ListBtn = new QPushButton(QStringLiteral("List"), this);
    CloseBtn = new QPushButton(QStringLiteral("&Close"), this);
    HelpBtn = new QPushButton(QStringLiteral("Help"), this);
    for (QPushButton* b : {ListBtn, CloseBtn, HelpBtn}) b->setAutoDefault(false);
    h->addWidget(ListBtn);
    h->addStretch();
    h->addWidget(CloseBtn);
    h->addWidget(HelpBtn);
    v->addLayout(h);
    connect(ListBtn, &QPushButton::clicked, this, [this] { ListBtnClick(); });
    connect(CloseBtn, &QPushButton::clicked, this, [this] { close(); });
    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(19105); });
}

void TPlainTableForm::addValueFields(const QString& groupTitle, const QStringList& fields, const QStringList& labels,
                                     const QString& picture, int columns, const QString& hint)
{
    QWidget* parent = m_right;
    auto* box = new QGroupBox(groupTitle, parent);
    auto* g = new QGridLayout(box);
    for (int i = 0; i < fields.size(); ++i) {
        auto* e = new TDBNumEdit(Source, fields[i], picture, 0, 0, box);
        e->setMaximumWidth(70);
        if (!hint.isEmpty()) e->setToolTip(hint);
        ValueEdits << e;
        const int r = (i / columns) * 2, c = i % columns;
        g->addWidget(new QLabel(labels.value(i, fields[i]), box), r, c);
        g->addWidget(e, r + 1, c);
    }
    static_cast<QVBoxLayout*>(m_right->layout())->addWidget(box);
}

void TPlainTableForm::setListButton(const QString& caption, const QString& hint,
                                    std::function<report::PreparedReport(TTable&)> prepare)
{
    ListBtn->setText(caption);
    ListBtn->setToolTip(hint);
    m_prepare = std::move(prepare);
    static_cast<QVBoxLayout*>(m_right->layout())->addStretch();
}

void TPlainTableForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    TTable* t = table();
    if (!t->isOpen()) t->open();
}

void TPlainTableForm::done(int r)
{
    if (!commitPendingEntry(this)) return;   // the number being typed is stored as Close stores it
    if (!m_closed) {
        FormClose();   // a refused post throws and keeps the window open
        m_closed = true;
    }
    QDialog::done(r);
}

void TPlainTableForm::FormClose()
{
    // A pending edit is kept: it is posted, not cancelled.
    TTable* t = table();
    if (t->isOpen() && t->state() != TTable::State::Browse) t->post();
}

void TPlainTableForm::ListBtnClick()
{
    if (m_prepare) previewReport(m_prepare(*table()), this);
}

// A refused post keeps the window open with the row still in edit.
void TPlainTableForm::closeEvent(QCloseEvent* e)
{
    runFormClose(e, [this] { FormClose(); });
    QDialog::closeEvent(e);
}

} // namespace quen::cropprog
