#include "RecordEditor.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QWidget>

#include "Database.h"
#include "MessageService.h"
#include "NumEdit.h"

namespace quen {

TRecordEditor::TRecordEditor(QWidget* window, TDataSource* source, QAbstractButton* editButton,
                             QAbstractButton* insertButton, QAbstractButton* cancelButton,
                             QAbstractButton* deleteButton)
    : QObject(window), m_window(window), m_source(source), m_edit(editButton),
      m_insert(insertButton), m_cancel(cancelButton), m_delete(deleteButton)
{
    if (window) m_base = window->windowTitle();
    if (m_edit) connect(m_edit, &QAbstractButton::clicked, this, [this] { toggleEditMode(); });
    if (m_insert) connect(m_insert, &QAbstractButton::clicked, this, [this] { insertRecord(); });
    if (m_cancel) connect(m_cancel, &QAbstractButton::clicked, this, [this] { cancelRecord(); });
}

void TRecordEditor::setBaseCaption(const QString& caption)
{
    m_base = caption;
    apply();
}

void TRecordEditor::addEditModeWidget(QWidget* w)
{
    m_extra << w;
    if (w) w->setEnabled(m_editMode);
}

void TRecordEditor::start()
{
    m_editMode = false;
    apply();
}

void TRecordEditor::setEditMode(bool on)
{
    // "Stop Edit" stores the number being typed as leaving its field does;
    // a refused entry keeps edit mode.
    if (!on && !commitPendingEntry(m_window)) return;
    TTable* t = table();
    if (!on && t && t->isOpen()
        && (t->state() == TTable::State::Edit || t->state() == TTable::State::Insert))
        t->post();   // a refusal throws and leaves edit mode on
    m_editMode = on;
    apply();
    emit editModeChanged(on);
}

void TRecordEditor::apply()
{
    if (m_source) m_source->setAutoEdit(m_editMode);
    if (m_edit) m_edit->setText(m_editMode ? stopCaption() : editCaption());
    for (QAbstractButton* b : {m_insert.data(), m_cancel.data(), m_delete.data()})
        if (b) b->setEnabled(m_editMode);
    for (auto& w : m_extra)
        if (w) w->setEnabled(m_editMode);
    if (m_window) m_window->setWindowTitle(m_base + (m_editMode ? editSuffix() : readOnlySuffix()));
    // Bound controls re-read their read-only state.
    if (m_source) emit m_source->stateChanged();
}

void TRecordEditor::insertRecord()
{
    TTable* t = table();
    if (!t || !t->isOpen()) return;
    t->insert();
    emit inserted();
}

void TRecordEditor::cancelRecord()
{
    TTable* t = table();
    if (t && t->isOpen()) t->cancel();
}

bool TRecordEditor::deleteRecord(const QString& text, const QString& title)
{
    TTable* t = table();
    if (!t || !t->isOpen() || t->isEmpty()) return false;
    if (messages().show(MsgKind::Confirmation, text, MsgButtons::YesNo, 0, title) != MsgResult::Yes)
        return false;
    if (t->state() == TTable::State::Insert) t->cancel();
    else t->remove();
    return true;
}

void TRecordEditor::markCurrent()
{
    TTable* t = table();
    if (!t || !t->isOpen() || t->isEmpty()) return;
    if (t->state() == TTable::State::Browse) t->edit();
    TField f = t->field(QStringLiteral("Marked"));
    f.setAsBoolean(!f.asBoolean());
    t->post();
    if (m_editMode && m_reeditAfterMark) t->edit();
}

int TRecordEditor::markAll()
{
    TTable* t = table();
    if (t && t->isOpen() && t->state() != TTable::State::Browse) t->post();
    const int n = Database::execMarkStatement(m_markStatement, QStringLiteral("T"));
    if (t && t->isOpen()) t->refresh();
    return n;
}

int TRecordEditor::clearAllMarks()
{
    TTable* t = table();
    if (t && t->isOpen() && t->state() != TTable::State::Browse) t->post();
    const int n = Database::execMarkStatement(m_markStatement, QStringLiteral("F"));
    if (t && t->isOpen()) t->refresh();
    return n;
}

void TRecordEditor::setShowAllMarked(bool on)
{
    if (TTable* t = table()) t->setFiltered(on);
}

bool TRecordEditor::showAllMarked() const
{
    TTable* t = table();
    return t && t->filtered();
}

QAction* TRecordEditor::addMarkActions(QMenu* menu, const QString& showCaption)
{
    menu->addAction(QStringLiteral("Mark All"), this, [this] { markAll(); });
    menu->addAction(QStringLiteral("Clear All Marks"), this, [this] { clearAllMarks(); });
    QAction* show = menu->addAction(showCaption);
    show->setCheckable(true);
    connect(show, &QAction::toggled, this, [this](bool on) { setShowAllMarked(on); });
    return show;
}

} // namespace quen
