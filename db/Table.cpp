// The table handle: its table and index, opening and closing, moves,
// searches, ranges and filters, and its fields (TField). Finding rows is in
// TableCursor.cpp, writes in TableWrite.cpp, values in TableValues.cpp.
#include "Table.h"

#include <QLocale>
#include <cmath>

#include "Database.h"
#include "TableImpl.h"

namespace quen {

using namespace dbi;

// ---- TTable -------------------------------------------------------------------------

TTable::TTable(QObject* parent) : QObject(parent), d(new Impl)
{
    d->q = this;
    Database::registerHandle(this);
}

TTable::TTable(const QString& tableName, QObject* parent) : TTable(parent)
{
    setTableName(tableName);
}

TTable::~TTable()
{
    Database::unregisterHandle(this);
}

void TTable::setDatabaseName(const QString& name)
{
    if (d->open)
        throw DbError(QStringLiteral("Cannot change the database of an open table."));
    d->databaseName = name;
}

QString TTable::databaseName() const { return d->databaseName; }

void TTable::setTableName(const QString& name)
{
    if (d->open)
        throw DbError(QStringLiteral("Cannot change the table name of an open table."));
    d->tableName = name;
    d->def = findTableDef(name);
    if (d->def) {
        const TableSql& sql = tableSql(*d->def);
        d->base = sql.base;
        d->selectAll = sql.selectAll;
        d->rowByRowid = sql.rowByRowid;
        d->insertSql = sql.insertSql;
        d->fieldPos = &sql.fieldPos;
        d->row.clear();   // no row yet: fields read empty
        if (d->def->index(d->indexName) == nullptr)
            d->indexName.clear();
    }
}

QString TTable::tableName() const { return d->tableName; }

const TableDef& TTable::definition() const { return d->needDef(); }

void TTable::setIndexName(const QString& name)
{
    if (d->def && !name.isEmpty() && !d->def->index(name))
        throw DbError(QStringLiteral("Index '%1' not found in table '%2'.").arg(name, d->def->name));
    if (!d->open) {
        d->indexName = name;
        d->hasRange = false;
        return;
    }
    if (name == d->indexName)
        return;
    if (d->state != State::Browse)
        post();
    d->resolve();
    d->ensureRow();
    d->indexName = name;
    d->hasRange = false;
    d->resolveIndex();
    // Stay on the same row where it is still visible.
    if (d->hasRow) {
        d->keys = d->keysOf(d->row);
        Impl::Hit h;
        if (d->fetch(sig(kRowid), [] { return QStringLiteral("rowid = ?"); }, {d->rowid}, false, &h)) {
            h.row = d->row;
            h.loaded = true;
            d->setCurrent(std::move(h));
        } else {
            d->eof = d->bof = !d->moveFirst(false);
        }
    } else {
        d->eof = d->bof = !d->moveFirst(false);
    }
    emit afterScroll();
}

QString TTable::indexName() const { return d->indexName; }

void TTable::open()
{
    if (d->open)
        return;
    const TableDef& def = d->needDef();
    if (d->databaseName.compare(QLatin1String("Quenpm"), Qt::CaseInsensitive) != 0
        && d->databaseName.compare(QLatin1String("Quen"), Qt::CaseInsensitive) != 0)
        throw DbError(QStringLiteral("Unknown database alias: %1").arg(d->databaseName));
    Q_UNUSED(def);
    d->resolveIndex();
    dbi::requireOpen();
    d->open = true;
    d->state = State::Browse;
    d->setPendingFirst();   // read when first needed
    emit afterOpen();
    emit stateChanged();
    emit afterScroll();
}

void TTable::close()
{
    if (!d->open)
        return;
    emit beforeClose();
    // A pending row is dropped, as the desktop table does on close.
    d->buf.clear();
    d->open = false;
    d->state = State::Inactive;
    d->hasRange = false;
    d->setNoRow();
    d->eof = d->bof = true;
    emit stateChanged();
}

bool TTable::isOpen() const { return d->open; }

TTable::State TTable::state() const { return d->state; }

void TTable::first()
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    d->setPendingFirst();   // read when first needed
    emit afterScroll();
}

void TTable::last()
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    const bool any = d->moveFirst(true);
    d->eof = true;
    d->bof = !any;
    emit afterScroll();
}

void TTable::next()
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    d->resolve();
    if (d->moveFrom(true)) {
        d->eof = d->bof = false;
        emit afterScroll();
    } else {
        d->eof = true;
    }
}

void TTable::prior()
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    d->resolve();
    if (d->moveFrom(false)) {
        d->eof = d->bof = false;
        emit afterScroll();
    } else {
        d->bof = true;
    }
}

bool TTable::eof() const
{
    d->resolve();
    return d->eof;
}

bool TTable::bof() const { return d->bof; }   // true while the first row is pending

int TTable::recordCount() const
{
    d->needOpen();
    return d->countVisible(sig(kNone), nullptr, {});
}

bool TTable::isEmpty() const
{
    d->needOpen();
    if (d->pendingFirst) {
        d->resolve();
        return !d->hasRow;
    }
    if (d->hasRow)
        return false;
    Impl::Hit h;
    return !d->fetch(sig(kFirst), nullptr, {}, false, &h);
}

int TTable::recNo() const
{
    d->needOpen();
    d->resolve();
    if (!d->hasRow)
        return 0;
    if (d->pos > 0)
        return d->pos;
    const int n = d->keyFields.size();
    QVariantList values;
    d->tupleCompare(n, d->keys, true, d->rowid, false, false, nullptr, values);
    auto build = [&]() {
        QString t;
        QVariantList dummy;
        d->tupleCompare(n, d->keys, true, d->rowid, false, false, &t, dummy);
        return t;
    };
    const quint64 mask = Impl::nullMask(d->keys, n);
    const QVariant first = n > 0 ? keyToSql(d->def->fields[d->keyFields[0]], d->keys[0]) : QVariant();
    int before = 0;
    if (!first.isValid()) {
        before = d->countVisible(sig(kTuple, n, mask, 2), build, values);
    } else {
        // Rows up to the first-field value (an index range), plus the empty ones.
        QVariantList bounded{first};
        bounded << values;
        const int f0 = d->keyFields[0];
        const bool nc = d->keyNoCase[0];
        before = d->countVisible(sig(kTuple, n, mask, 4),
                                 [&] { return d->cmp(f0, nc, QLatin1String("<=")) + QLatin1String(" AND ") + build(); }, bounded)
               + d->countVisible(sig(kTuple, 0, 0, 5),
                                 [&] { return dbi::quoteId(d->def->fields[f0].name) + QLatin1String(" IS NULL"); }, {});
    }
    d->pos = before + 1;
    return d->pos;
}

bool TTable::findKey(const QVariantList& key)
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    if (d->keyFields.isEmpty())
        throw DbError(QStringLiteral("Table '%1' has no index for a key search.").arg(d->tableName));
    const int n = qMin(key.size(), d->keyFields.size());
    QVariantList values;
    quint64 mask = 0;
    for (int i = 0; i < n; ++i) {
        const QVariant v = keyToSql(d->def->fields[d->keyFields[i]], key[i]);
        if (v.isValid())
            values << v;
        else
            mask |= quint64(1) << i;
    }
    auto build = [&]() {
        QStringList parts;
        for (int i = 0; i < n; ++i) {
            if (mask & (quint64(1) << i))
                parts << dbi::quoteId(d->def->fields[d->keyFields[i]].name) + QLatin1String(" IS NULL");
            else
                parts << d->cmp(d->keyFields[i], d->keyNoCase[i], QLatin1String("="));
        }
        return parts.isEmpty() ? QStringLiteral("1=1") : parts.join(QLatin1String(" AND "));
    };
    Impl::Hit h;
    if (!d->fetch(sig(kFindKey, n, mask), build, values, false, &h))
        return false;
    d->setCurrent(std::move(h));
    d->eof = d->bof = false;
    emit afterScroll();
    return true;
}

void TTable::findNearest(const QVariantList& key)
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    const int n = qMin(key.size(), d->keyFields.size());
    QVariantList values;
    d->tupleCompare(n, key, false, 0, true, true, nullptr, values);
    auto build = [&]() {
        QString t;
        QVariantList dummy;
        d->tupleCompare(n, key, false, 0, true, true, &t, dummy);
        return t;
    };
    Impl::Hit h;
    if (d->fetch(sig(kTuple, n, Impl::nullMask(key, n), 3), build, values, false, &h)
        || d->fetch(sig(kFirst), nullptr, {}, true, &h)) {
        d->setCurrent(std::move(h));
        d->eof = d->bof = false;
        emit afterScroll();
    } else if (d->pendingFirst) {   // no rows at all: what reading the first row would find
        d->setNoRow();
        d->eof = d->bof = true;
    }
}

bool TTable::locate(const QString& fieldName, const QVariant& value)
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    const int fi = d->def->fieldIndex(fieldName);
    if (fi < 0)
        throw DbError(QStringLiteral("Field '%1' not found in table '%2'.").arg(fieldName, d->def->name));
    const FieldDef& f = d->def->fields[fi];
    QVariant v = keyToSql(f, value);
    if (isTextType(f.type) && v.isValid() && v.toString().isEmpty())
        v = QVariant();
    const bool isNull = !v.isValid();
    auto build = [&]() {
        return dbi::quoteId(f.name) + (isNull ? QLatin1String(" IS NULL") : QLatin1String(" = ?"));
    };
    Impl::Hit h;
    if (!d->fetch(sig(kLocate, 0, isNull ? 1 : 0, 0, quint64(fi)), build, isNull ? QVariantList() : QVariantList{v}, false, &h))
        return false;
    d->setCurrent(std::move(h));
    d->eof = d->bof = false;
    emit afterScroll();
    return true;
}

void TTable::setRange(const QVariantList& startKey, const QVariantList& endKey)
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    d->hasRange = true;
    d->rangeStart = startKey;
    d->rangeEnd = endKey;
    d->invalidate();
    first();
}

void TTable::cancelRange()
{
    if (!d->hasRange)
        return;
    d->hasRange = false;
    d->invalidate();
    if (d->open)
        first();
}

void TTable::setFilter(const QString& filterText)
{
    QList<FilterCondition> conds = parseFilterText(filterText);
    if (d->def)
        for (const FilterCondition& c : conds)
            if (d->def->fieldIndex(c.field) < 0)
                throw DbError(QStringLiteral("Field '%1' not found in table '%2'.").arg(c.field, d->def->name));
    d->filterText = filterText;
    d->conds = conds;
    d->invalidate();
    if (d->open && d->filtered)
        first();
}

QString TTable::filter() const { return d->filterText; }

void TTable::setFiltered(bool on)
{
    if (d->filtered == on)
        return;
    if (d->open && d->state != State::Browse)
        post();
    d->filtered = on;
    d->invalidate();
    if (d->open)
        first();
}

bool TTable::filtered() const { return d->filtered; }

void TTable::setOnFilterRecord(std::function<bool(TTable&)> accept)
{
    d->predicate = std::move(accept);
    d->invalidate();
    if (d->open && d->filtered)
        first();
}
// ---- fields ---------------------------------------------------------------------------

int TTable::fieldCount() const { return d->needDef().fields.size(); }

TField TTable::field(int index)
{
    if (index < 0 || index >= fieldCount())
        throw DbError(QStringLiteral("Field index %1 out of range in table '%2'.").arg(index).arg(d->tableName));
    return TField(this, index);
}

TField TTable::field(const QString& name)
{
    d->needDef();
    const int i = d->fieldPos->value(name, -1);
    if (i < 0)
        throw DbError(QStringLiteral("Field '%1' not found in table '%2'.").arg(name, d->def->name));
    return TField(this, i);
}

bool TTable::hasField(const QString& name) const { return d->def && d->fieldPos->contains(name); }

QString TTable::fieldName(int index) const
{
    const TableDef& def = d->needDef();
    if (index < 0 || index >= def.fields.size())
        throw DbError(QStringLiteral("Field index %1 out of range in table '%2'.").arg(index).arg(d->tableName));
    return def.fields[index].name;
}

QVariantList TTable::rowValues() const
{
    d->needOpen();
    if (d->state == State::Browse) {
        d->resolve();
        d->ensureRow();
        d->fieldsRead = true;
    }
    if (d->state != State::Browse)
        return d->buf;
    return d->row.isEmpty() && d->def ? d->emptyRow() : d->row;
}

QVariant TTable::valueAt(int index) const
{
    d->needOpen();
    if (d->state == State::Browse) {
        d->resolve();
        d->ensureRow();
        d->fieldsRead = true;
    }
    const QVariantList& r = d->state == State::Browse ? d->row : d->buf;
    if (r.isEmpty() && d->def && index >= 0 && index < d->def->fields.size())
        return QVariant();   // no current row
    if (index < 0 || index >= r.size())
        throw DbError(QStringLiteral("Field index %1 out of range in table '%2'.").arg(index).arg(d->tableName));
    return r[index];
}

void TTable::setValueAt(int index, const QVariant& v)
{
    d->needOpen();
    const TableDef& def = *d->def;
    if (index < 0 || index >= def.fields.size())
        throw DbError(QStringLiteral("Field index %1 out of range in table '%2'.").arg(index).arg(d->tableName));
    const FieldDef& f = def.fields[index];
    if (f.type == FieldType::AutoInc)
        throw DbError(QStringLiteral("Field '%1' cannot be modified.").arg(f.name));
    if (d->state != State::Edit && d->state != State::Insert)
        throw DbError(QStringLiteral("Table '%1' is not in edit or insert mode.").arg(d->tableName));
    d->buf[index] = toStored(f, v);
    d->modified[index] = true;
    emit dataChanged(index);
}

// ---- TField ---------------------------------------------------------------------------------

QString TField::name() const { return m_table->fieldName(m_index); }

FieldType TField::type() const { return m_table->definition().fields[m_index].type; }

int TField::size() const { return m_table->definition().fields[m_index].size; }

bool TField::isNull() const { return !m_table->valueAt(m_index).isValid(); }

QVariant TField::value() const { return m_table->valueAt(m_index); }

QString TField::asString() const
{
    const QVariant v = m_table->valueAt(m_index);
    if (!v.isValid())
        return QString();
    switch (type()) {
    case FieldType::Float: return generalFormat(v.toDouble());
    case FieldType::Logical: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default: return v.toString();
    }
}

int TField::asInteger() const
{
    const QVariant v = m_table->valueAt(m_index);
    if (!v.isValid())
        return 0;
    switch (type()) {
    case FieldType::Float: return int(qRound64(v.toDouble()));
    case FieldType::Logical: return v.toBool() ? 1 : 0;
    case FieldType::Text:
    case FieldType::Memo: {
        bool ok = false;
        const int n = v.toString().trimmed().toInt(&ok);
        if (!ok)
            throw DbError(QStringLiteral("'%1' is not a valid integer value.").arg(v.toString()));
        return n;
    }
    default: return v.toInt();
    }
}

double TField::asFloat() const
{
    const QVariant v = m_table->valueAt(m_index);
    if (!v.isValid())
        return 0.0;
    switch (type()) {
    case FieldType::Logical: return v.toBool() ? 1.0 : 0.0;
    case FieldType::Text:
    case FieldType::Memo: {
        bool ok = false;
        const double x = QLocale::c().toDouble(v.toString().trimmed(), &ok);
        if (!ok)
            throw DbError(QStringLiteral("'%1' is not a valid floating point value.").arg(v.toString()));
        return x;
    }
    default: return v.toDouble();
    }
}

bool TField::asBoolean() const
{
    const QVariant v = m_table->valueAt(m_index);
    if (!v.isValid())
        return false;
    switch (type()) {
    case FieldType::Logical: return v.toBool();
    case FieldType::Text:
    case FieldType::Memo: {
        const QString s = v.toString().trimmed();
        return s.compare(QLatin1String("T"), Qt::CaseInsensitive) == 0
            || s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0
            || s.compare(QLatin1String("Y"), Qt::CaseInsensitive) == 0
            || s.compare(QLatin1String("Yes"), Qt::CaseInsensitive) == 0;
    }
    default: return v.toDouble() != 0.0;
    }
}

void TField::setValue(const QVariant& v) { m_table->setValueAt(m_index, v); }
void TField::setAsString(const QString& v) { m_table->setValueAt(m_index, v); }
void TField::setAsInteger(int v) { m_table->setValueAt(m_index, v); }
void TField::setAsFloat(double v) { m_table->setValueAt(m_index, v); }
void TField::setAsBoolean(bool v) { m_table->setValueAt(m_index, v); }
void TField::clear() { m_table->setValueAt(m_index, QVariant()); }

} // namespace quen
