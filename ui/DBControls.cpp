#include "DBControls.h"

#include <QButtonGroup>
#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QRadioButton>
#include <QSignalBlocker>

#include "EnterFocus.h"

namespace quen {

// --- TFieldLink ----------------------------------------------------------------

TFieldLink::TFieldLink(QObject* owner) : QObject(owner) {}

void TFieldLink::setDataSource(TDataSource* ds)
{
    if (m_ds == ds) return;
    for (auto& c : m_conns) disconnect(c);
    m_conns.clear();
    m_ds = ds;
    if (ds) {
        auto r = [this] { if (!m_writing && onRefresh) onRefresh(); };
        m_conns << connect(ds, &TDataSource::recordChanged, this, r);
        m_conns << connect(ds, &TDataSource::dataSetChanged, this, r);
        m_conns << connect(ds, &TDataSource::stateChanged, this, r);
        m_conns << connect(ds, &TDataSource::fieldChanged, this, [this](int idx) {
            if (m_writing || !onRefresh) return;
            if (idx < 0 || !active() || field().index() == idx) onRefresh();
        });
        m_conns << connect(ds, &QObject::destroyed, this, [this] { if (onRefresh) onRefresh(); });
    }
    if (onRefresh) onRefresh();
}

void TFieldLink::setFieldName(const QString& name)
{
    m_field = name;
    if (onRefresh) onRefresh();
}

TTable* TFieldLink::table() const { return m_ds ? m_ds->dataSet() : nullptr; }

bool TFieldLink::active() const
{
    TTable* t = table();
    return t && t->isOpen() && !m_field.isEmpty() && t->hasField(m_field);
}

TField TFieldLink::field() const { return table()->field(m_field); }

bool TFieldLink::editing() const
{
    TTable* t = table();
    if (!t) return false;
    const auto s = t->state();
    return s == TTable::State::Edit || s == TTable::State::Insert;
}

bool TFieldLink::canModify() const
{
    if (readOnly || !active()) return false;
    return editing() || (m_ds->autoEdit() && !table()->isEmpty());
}

bool TFieldLink::beginEdit()
{
    if (!canModify()) return false;
    if (editing()) return true;
    m_writing = true;
    bool ok = false;
    try {
        ok = m_ds->ensureEditing();
    } catch (...) {
        m_writing = false;
        throw;
    }
    m_writing = false;
    return ok;
}

void TFieldLink::write(const std::function<void(TField&)>& f)
{
    if (!active()) return;
    m_writing = true;
    try {
        TField fld = field();
        f(fld);
    } catch (...) {
        m_writing = false;
        throw;
    }
    m_writing = false;
}

// --- TDBEdit -----------------------------------------------------------------------

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent), TDataAware(this)
{
    m_link.onRefresh = [this] { refresh(); };
    installEnterMovesFocus(this);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!m_link.beginEdit()) {
            refresh();
            return;
        }
        m_link.write([&](TField& f) { f.setAsString(text); });
    });
    refresh();
}

TDBEdit::TDBEdit(TDataSource* ds, const QString& field, QWidget* parent) : TDBEdit(parent)
{
    m_link.setFieldName(field);
    m_link.setDataSource(ds);
}

void TDBEdit::refresh()
{
    if (m_refreshing) return;
    m_refreshing = true;
    const bool active = m_link.active();
    if (active) {
        if (m_link.table()->hasField(m_link.fieldName())) {
            const int w = m_link.field().size();
            if (m_link.field().type() == FieldType::Text && w > 0) setMaxLength(w);
        }
        const QString t = m_link.field().asString();
        if (t != text()) setText(t);
    } else if (!text().isEmpty()) {
        clear();
    }
    setReadOnly(!m_link.canModify());
    m_refreshing = false;
}

void TDBEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (e->reason() != Qt::PopupFocusReason) emit exited();
}

// --- TDBNumEdit -------------------------------------------------------------------

TDBNumEdit::TDBNumEdit(QWidget* parent) : TNumEdit(parent), TDataAware(this)
{
    m_link.onRefresh = [this] { refresh(); };
    connect(this, &TNumEdit::valueCommitted, this, [this](double v) {
        if (!m_link.beginEdit()) {
            refresh();
            return;
        }
        m_link.write([&](TField& f) {
            if (f.type() == FieldType::Float) f.setAsFloat(v);
            else if (f.type() == FieldType::Text || f.type() == FieldType::Memo) f.setAsString(text().trimmed());
            else f.setAsInteger(intValue());
        });
    });
    refresh();
}

TDBNumEdit::TDBNumEdit(TDataSource* ds, const QString& field, const QString& picture,
                       double lo, double hi, QWidget* parent)
    : TDBNumEdit(parent)
{
    setPicture(picture);
    setRange(lo, hi);
    m_link.setFieldName(field);
    m_link.setDataSource(ds);
}

void TDBNumEdit::refresh()
{
    if (m_link.active()) {
        TField f = m_link.field();
        if (f.isNull()) clearValue();
        else if (f.type() == FieldType::Float) setValue(f.asFloat());
        else setValueText(f.asString());
    } else {
        clearValue();
    }
    setReadOnly(!m_link.canModify());
}

QString TDBNumEdit::fieldCaption() const
{
    const QString c = TNumEdit::fieldCaption();
    return c.isEmpty() ? m_link.fieldName() : c;
}

// --- TDBMemo ------------------------------------------------------------------------

TDBMemo::TDBMemo(QWidget* parent) : QPlainTextEdit(parent), TDataAware(this)
{
    m_link.onRefresh = [this] { refresh(); };
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (m_refreshing) return;
        if (!m_link.beginEdit()) {
            refresh();
            return;
        }
        const QString t = toPlainText();
        m_link.write([&](TField& f) { f.setAsString(t); });
    });
    refresh();
}

TDBMemo::TDBMemo(TDataSource* ds, const QString& field, QWidget* parent) : TDBMemo(parent)
{
    m_link.setFieldName(field);
    m_link.setDataSource(ds);
}

void TDBMemo::refresh()
{
    if (m_refreshing) return;
    m_refreshing = true;
    const QString t = m_link.active() ? m_link.field().asString() : QString();
    if (t != toPlainText()) setPlainText(t);
    setReadOnly(!m_link.canModify());
    m_refreshing = false;
}

void TDBMemo::keyPressEvent(QKeyEvent* e)
{
    // Typing into a row that may not be changed does nothing.
    if (!e->text().isEmpty() && !m_link.canModify()) {
        e->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void TDBMemo::focusOutEvent(QFocusEvent* e)
{
    QPlainTextEdit::focusOutEvent(e);
    if (e->reason() != Qt::PopupFocusReason) emit exited();
}

// --- TDBCheckBox --------------------------------------------------------------------

TDBCheckBox::TDBCheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent), TDataAware(this)
{
    m_link.onRefresh = [this] { refresh(); };
    installEnterMovesFocus(this);
    connect(this, &QCheckBox::clicked, this, [this](bool on) {
        if (m_refreshing) return;
        if (!m_link.beginEdit()) {
            refresh();
            return;
        }
        m_link.write([&](TField& f) { f.setAsBoolean(on); });
    });
    refresh();
}

TDBCheckBox::TDBCheckBox(TDataSource* ds, const QString& field, const QString& caption, QWidget* parent)
    : TDBCheckBox(caption, parent)
{
    m_link.setFieldName(field);
    m_link.setDataSource(ds);
}

void TDBCheckBox::refresh()
{
    m_refreshing = true;
    setChecked(m_link.active() && m_link.field().asBoolean());
    // A read-only box keeps its normal look; clicks are reverted above.
    m_refreshing = false;
}

void TDBCheckBox::focusOutEvent(QFocusEvent* e)
{
    QCheckBox::focusOutEvent(e);
    if (e->reason() != Qt::PopupFocusReason) emit exited();
}

// --- TDBComboBox --------------------------------------------------------------------

TDBComboBox::TDBComboBox(QWidget* parent) : QComboBox(parent), TDataAware(this)
{
    m_link.onRefresh = [this] { refresh(); };
    installEnterMovesFocus(this);
    connect(this, &QComboBox::textActivated, this, &TDBComboBox::userChose);
    refresh();
}

TDBComboBox::TDBComboBox(TDataSource* ds, const QString& field, const QStringList& items, QWidget* parent)
    : TDBComboBox(parent)
{
    setItems(items);
    m_link.setFieldName(field);
    m_link.setDataSource(ds);
}

void TDBComboBox::setItems(const QStringList& items)
{
    m_refreshing = true;
    clear();
    addItems(items);
    m_refreshing = false;
    refresh();
}

void TDBComboBox::setItemsFromTable(TTable* t, const QString& fieldName)
{
    if (!t) return;
    QStringList items;
    const bool wasOpen = t->isOpen();
    {
        QSignalBlocker block(t);
        if (!wasOpen) t->open();
        const int at = t->recNo();
        for (t->first(); !t->eof(); t->next()) items << t->field(fieldName).asString();
        if (at > 0) {
            t->first();
            for (int i = 1; i < at; ++i) t->next();
        }
        if (!wasOpen) t->close();
    }
    setItems(items);
}

void TDBComboBox::userChose(const QString& text)
{
    if (m_refreshing) return;
    if (!m_link.beginEdit()) {
        refresh();
        return;
    }
    m_link.write([&](TField& f) { f.setAsString(text); });
}

void TDBComboBox::refresh()
{
    if (m_refreshing) return;
    m_refreshing = true;
    const QString t = m_link.active() ? m_link.field().asString() : QString();
    const int i = findText(t);
    if (isEditable()) setEditText(t);
    else setCurrentIndex(i);
    m_refreshing = false;
}

void TDBComboBox::focusOutEvent(QFocusEvent* e)
{
    QComboBox::focusOutEvent(e);
    if (e->reason() == Qt::PopupFocusReason) return;
    if (isEditable() && m_link.active() && currentText() != m_link.field().asString())
        userChose(currentText());
    emit exited();
}

// --- TDBRadioGroup ------------------------------------------------------------------

TDBRadioGroup::TDBRadioGroup(const QString& title, QWidget* parent)
    : QGroupBox(title, parent), TDataAware(this), m_group(new QButtonGroup(this))
{
    m_link.onRefresh = [this] { refresh(); };
    new QGridLayout(this);
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) {
        if (m_refreshing) return;
        if (!m_link.beginEdit()) {
            refresh();
            return;
        }
        m_link.write([&](TField& f) { f.setAsString(m_values.value(id)); });
        emit changed(id);
    });
}

void TDBRadioGroup::setItems(const QStringList& captions, const QStringList& values)
{
    m_captions = captions;
    m_values = values.isEmpty() ? captions : values;
    while (m_values.size() < m_captions.size()) m_values << m_captions[m_values.size()];
    layoutButtons();
}

void TDBRadioGroup::setColumns(int n)
{
    m_columns = qMax(1, n);
    layoutButtons();
}

void TDBRadioGroup::layoutButtons()
{
    for (QAbstractButton* b : m_group->buttons()) {
        m_group->removeButton(b);
        delete b;
    }
    auto* grid = static_cast<QGridLayout*>(layout());
    const int rows = (int(m_captions.size()) + m_columns - 1) / m_columns;
    for (int i = 0; i < m_captions.size(); ++i) {
        auto* b = new QRadioButton(m_captions[i], this);
        b->setObjectName(QStringLiteral("RadioItem%1").arg(i));
        m_group->addButton(b, i);
        grid->addWidget(b, rows ? i % rows : i, rows ? i / rows : 0);
    }
    refresh();
}

int TDBRadioGroup::indexOfValue(const QString& text) const
{
    const int exact = int(m_values.indexOf(text));
    if (exact >= 0) return exact;
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok) return -1;
    for (int i = 0; i < m_values.size(); ++i) {
        bool ok2 = false;
        const double w = m_values[i].toDouble(&ok2);
        if (ok2 && w == v) return i;
    }
    return -1;
}

void TDBRadioGroup::showIndex(int i)
{
    m_refreshing = true;
    m_group->setExclusive(false);
    for (QAbstractButton* b : m_group->buttons()) b->setChecked(m_group->id(b) == i);
    m_group->setExclusive(true);
    m_refreshing = false;
}

int TDBRadioGroup::itemIndex() const { return m_group->checkedId(); }

void TDBRadioGroup::setItemIndex(int i)
{
    if (i < 0 || i >= m_values.size()) return;
    if (!m_link.beginEdit()) {
        refresh();
        return;
    }
    m_link.write([&](TField& f) { f.setAsString(m_values.value(i)); });
    showIndex(i);
    emit changed(i);
}

void TDBRadioGroup::refresh()
{
    if (m_refreshing) return;
    showIndex(m_link.active() ? indexOfValue(m_link.field().asString()) : -1);
}

// --- TDBText ----------------------------------------------------------------------

TDBText::TDBText(QWidget* parent) : QLabel(parent), TDataAware(this)
{
    m_link.onRefresh = [this] { refresh(); };
}

TDBText::TDBText(TDataSource* ds, const QString& field, QWidget* parent) : TDBText(parent)
{
    m_link.setFieldName(field);
    m_link.setDataSource(ds);
}

void TDBText::refresh() { setText(m_link.active() ? m_link.field().asString() : QString()); }

} // namespace quen
