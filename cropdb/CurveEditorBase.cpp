#include "CurveEditorBase.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "NumEdit.h"
#include "Placement.h"

namespace quen::cropprog {

TCurveEditorBase::TCurveEditorBase(const QString& objectName, const QString& caption, TDataSource* source,
                                   const QString& gridField, const QString& gridTitle,
                                   const QString& markStatement, QWidget* parent)
    : QDialog(parent), Source(source)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    auto* v = new QVBoxLayout(this);
    MenuBar = addMenuBar(this, v);
    FileMenu = MenuBar->addMenu(QStringLiteral("&File"));

    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    CurveGrid = new TDBGrid(this);
    CurveGrid->setObjectName(QStringLiteral("CurveGrid"));
    CurveGrid->setDataSource(source);
    CurveGrid->addColumn(gridField, gridTitle, 260);
    CurveGrid->setMinimumWidth(280);
    left->addWidget(CurveGrid);
    Navigator = new TDBNavigator(TDBNavigator::Moves, this);
    Navigator->setDataSource(source);
    left->addWidget(Navigator);
    top->addLayout(left, 2);
    m_body = new QWidget(this);
    top->addWidget(m_body, 3);
    v->addLayout(top, 1);

    m_bottom = new QHBoxLayout;
    if (!markStatement.isEmpty()) {
        MarkedCheck = new TDBCheckBox(source, QStringLiteral("Marked"), QStringLiteral("Marked?"), this);
        MarkedCheck->setDataReadOnly(true);
        MarkBtn = new QPushButton(QStringLiteral("Mark"), this);
        MarkBtn->setObjectName(QStringLiteral("MarkBtn"));
        MarkBtn->setAutoDefault(false);
        m_bottom->addWidget(MarkedCheck);
        m_bottom->addWidget(MarkBtn);
    }
    m_bottom->addStretch();
    auto mk = [this](const char* name, const char* text) {
        auto* b = new QPushButton(QLatin1String(text), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        m_bottom->addWidget(b);
        return b;
    };
    GotoEditBtn = mk("GotoEditBtn", "Goto Edit");
    InsertBtn = mk("InsertBtn", "Insert Record");
    CancelBtn = mk("CancelBtn", "Cancel");
    DeleteBtn = mk("DeleteBtn", "Delete Record");
    CloseBtn = mk("CloseBtn", "&Close");
    v->addLayout(m_bottom);

    Editor = new TRecordEditor(this, source, GotoEditBtn, nullptr, CancelBtn, DeleteBtn);
    Editor->addEditModeWidget(InsertBtn);
    if (!markStatement.isEmpty()) {
        Editor->setMarkStatement(markStatement);
        MarksMenu = MenuBar->addMenu(QStringLiteral("&Marks"));
        ShowAllMarkedItem = Editor->addMarkActions(MarksMenu);
        connect(MarkBtn, &QPushButton::clicked, this, [this] { MarkBtnClick(); });
    }
    connect(InsertBtn, &QPushButton::clicked, this, [this] { InsertBtnClick(); });
    connect(DeleteBtn, &QPushButton::clicked, this, [this] { DeleteBtnClick(); });
    connect(CloseBtn, &QPushButton::clicked, this, [this] { close(); });
}

void TCurveEditorBase::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
        if (m_fitToScreen) fitWindowToScreen(this);
    }
}

void TCurveEditorBase::done(int r)
{
    if (!commitPendingEntry(this)) return;   // the number being typed is stored as Close stores it
    closeOnce(m_shown, m_closed, [this] { FormClose(); });
    QDialog::done(r);
}

void TCurveEditorBase::FormShow()
{
    TTable* t = table();
    if (!t->isOpen()) t->open();
    t->first();
    Editor->start();
    CloseBtn->setFocus();
}

void TCurveEditorBase::FormClose()
{
    TTable* t = table();
    if (t->isOpen() && t->state() != TTable::State::Browse) t->post();
}

void TCurveEditorBase::InsertBtnClick()
{
    Editor->insertRecord();
}

void TCurveEditorBase::DeleteBtnClick()
{
    TTable* t = table();
    if (!t->isOpen()) return;
    // The curve name is the first field of every curve table.
    const QString name = t->isEmpty() ? QString() : t->field(0).asString();
    Editor->deleteRecord(QStringLiteral("Delete?"), name);
}

void TCurveEditorBase::MarkBtnClick()
{
    Editor->markCurrent();
}

void TCurveEditorBase::printMarked(const std::function<report::PreparedReport()>& prepare)
{
    TTable* t = table();
    const bool was = t->filtered();
    t->setFiltered(true);
    report::PreparedReport pages;
    try {
        pages = prepare();
    } catch (...) {
        t->setFiltered(was);
        throw;
    }
    t->setFiltered(was);
    previewReport(pages, this);
}

} // namespace quen::cropprog

namespace quen::cropprog {

// A refused post keeps the window open with the row still in edit.
void TCurveEditorBase::closeEvent(QCloseEvent* e)
{
    runFormClose(e, [this] { FormClose(); });
    QDialog::closeEvent(e);
}

} // namespace quen::cropprog
