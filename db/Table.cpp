#include "Table.h"

#include <QLocale>
#include <QSqlError>
#include <cmath>

#include "Database.h"
#include "DbInternal.h"
#include "FilterText.h"

namespace quen {

// ---- DbError --------------------------------------------------------------------

DbError::DbError(const QString& message) : std::runtime_error(message.toStdString()) {}

QString DbError::message() const { return QString::fromStdString(what()); }

// ---- value conversion -----------------------------------------------------------

namespace {

bool isTextType(FieldType t) { return t == FieldType::Text || t == FieldType::Memo; }

QString generalFormat(double v)
{
    // Shortest text with at most 15 significant digits, no trailing zeros.
    QString s = QString::number(v, 'g', 15);
    if (s.contains(QLatin1Char('e'))) {
        s = s.toUpper();
        s.replace(QLatin1String("E+"), QLatin1String("E"));
    }
    return s;
}

// Stored form (as kept in a row buffer) of a value written to field f.
QVariant toStored(const FieldDef& f, const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    const int tid = v.typeId();
    const bool isString = tid == QMetaType::QString || tid == QMetaType::QByteArray || tid == QMetaType::QChar;
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        QString s = tid == QMetaType::Double || tid == QMetaType::Float ? generalFormat(v.toDouble())
                  : tid == QMetaType::Bool ? (v.toBool() ? QStringLiteral("True") : QStringLiteral("False"))
                                           : v.toString();
        if (f.type == FieldType::Text && s.size() > f.size)
            s.truncate(f.size);                 // cut to the width without a message
        if (s.isEmpty())
            return QVariant();                   // an empty text is an empty field
        return s;
    }
    case FieldType::Float: {
        if (isString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            bool ok = false;
            double d = QLocale::c().toDouble(s, &ok);
            if (!ok)
                d = QLocale().toDouble(s, &ok);
            if (!ok)
                throw DbError(QStringLiteral("'%1' is not a valid floating point value for field '%2'.").arg(s, f.name));
            return d;
        }
        if (tid == QMetaType::Bool)
            return v.toBool() ? 1.0 : 0.0;
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok)
            throw DbError(QStringLiteral("'%1' is not a valid floating point value for field '%2'.").arg(v.toString(), f.name));
        return d;
    }
    case FieldType::Short: {
        qlonglong n = 0;
        if (isString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            bool ok = false;
            n = s.toLongLong(&ok);
            if (!ok)
                throw DbError(QStringLiteral("'%1' is not a valid integer value for field '%2'.").arg(s, f.name));
        } else if (tid == QMetaType::Double || tid == QMetaType::Float) {
            const double d = v.toDouble();
            if (!std::isfinite(d) || std::fabs(d) > 1e9)
                throw DbError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is -32768 to 32767.")
                                  .arg(generalFormat(d), f.name));
            n = qRound64(d);
        } else {
            n = v.toLongLong();
        }
        if (n < -32768 || n > 32767)
            throw DbError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is -32768 to 32767.")
                              .arg(n).arg(f.name));
        return int(n);
    }
    case FieldType::Logical: {
        if (isString) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return QVariant();
            for (const char* t : {"T", "True", "Y", "Yes", "1"})
                if (s.compare(QLatin1String(t), Qt::CaseInsensitive) == 0)
                    return true;
            for (const char* t : {"F", "False", "N", "No", "0"})
                if (s.compare(QLatin1String(t), Qt::CaseInsensitive) == 0)
                    return false;
            throw DbError(QStringLiteral("'%1' is not a valid boolean value for field '%2'.").arg(s, f.name));
        }
        return v.toBool() || (tid == QMetaType::Double && v.toDouble() != 0.0);
    }
    case FieldType::AutoInc:
        return v.toLongLong();
    }
    return QVariant();
}

// Row buffer value from a value read from SQLite.
QVariant fromSql(const FieldDef& f, const QVariant& v)
{
    if (v.isNull())
        return QVariant();
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo: return v.toString();
    case FieldType::Float: return v.toDouble();
    case FieldType::Short:
    case FieldType::AutoInc: return v.toInt();
    case FieldType::Logical: return v.toLongLong() != 0;
    }
    return v;
}

// Value bound to SQL for a row buffer value.
QVariant toSql(const FieldDef& f, const QVariant& v)
{
    if (!v.isValid())
        return QVariant(f.type == FieldType::Float ? QMetaType(QMetaType::Double)
                        : isTextType(f.type)       ? QMetaType(QMetaType::QString)
                                                   : QMetaType(QMetaType::Int));
    if (f.type == FieldType::Logical)
        return v.toBool() ? 1 : 0;
    return v;
}

// Value bound for a key, a range bound, a locate or a filter value on field f.
QVariant keyToSql(const FieldDef& f, const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        const int tid = v.typeId();
        if (tid == QMetaType::Double || tid == QMetaType::Float)
            return generalFormat(v.toDouble());
        return v.toString();
    }
    case FieldType::Float:
    case FieldType::Short:
    case FieldType::AutoInc: {
        if (v.typeId() == QMetaType::QString) {
            bool ok = false;
            const double d = QLocale::c().toDouble(v.toString().trimmed(), &ok);
            if (!ok)
                throw DbError(QStringLiteral("'%1' is not a valid value for field '%2'.").arg(v.toString(), f.name));
            return d;
        }
        return v.toDouble();
    }
    case FieldType::Logical:
        return toStored(f, v).toBool() ? 1 : 0;
    }
    return v;
}

} // namespace

// ---- TTable::Impl ---------------------------------------------------------------

struct TTable::Impl {
    TTable* q = nullptr;
    QString tableName;
    QString databaseName = QStringLiteral("Quenpm");
    const TableDef* def = nullptr;
    QString base;        // quoted SQL table name
    QString selectAll;   // "SELECT rowid, <fields> FROM t"

    QString indexName;
    QList<int> keyFields;        // field positions of the current order
    QList<bool> keyNoCase;

    bool open = false;
    State state = State::Inactive;

    bool hasRow = false;
    qint64 rowid = 0;
    QVariantList row;            // current row as stored
    QVariantList buf;            // pending row (edit / insert)
    QList<bool> modified;
    bool eof = true;
    bool bof = true;

    bool hasRange = false;
    QVariantList rangeStart, rangeEnd;

    QString filterText;
    QList<FilterCondition> conds;
    bool filtered = false;
    std::function<bool(TTable&)> predicate;

    const TableDef& needDef() const
    {
        if (!def)
            throw DbError(QStringLiteral("Table '%1' does not exist.").arg(tableName));
        return *def;
    }
    void needOpen() const
    {
        if (!open)
            throw DbError(QStringLiteral("Cannot perform this operation on a closed table ('%1').").arg(tableName));
    }
    bool predicateActive() const { return filtered && predicate; }

    void resolveIndex();
    QVariantList emptyRow() const { return QVariantList(def->fields.size()); }
    QVariantList readRow(const QSqlQuery& qq) const;

    // SQL fragments with their bound values.
    struct Sql {
        QString text;
        QVariantList values;
    };
    QString col(int field, bool noCase) const
    {
        return dbi::quoteId(def->fields[field].name) + (noCase ? QLatin1String(" COLLATE NOCASE") : QLatin1String(""));
    }
    Sql visibility() const;
    Sql tupleCompare(int n, const QVariantList& vals, bool withRowid, qint64 rid, bool greater, bool orEqual) const;
    QString orderBy(bool descending) const;

    // Runs a select of visible rows (extra condition, order); the first row
    // that the predicate accepts becomes the result. Returns false if none.
    bool fetchFirst(const Sql& extra, bool descending, qint64* ridOut, QVariantList* rowOut);
    bool acceptsRow(const QVariantList& candidate, qint64 rid);

    void setCurrent(qint64 rid, const QVariantList& r)
    {
        hasRow = true;
        rowid = rid;
        row = r;
    }
    void setNoRow()
    {
        hasRow = false;
        rowid = 0;
        row = emptyRow();
    }
    QVariantList currentKey() const
    {
        QVariantList k;
        for (int f : keyFields)
            k << row[f];
        return k;
    }
    bool moveFirst(bool descending);
    bool moveFrom(bool forward);       // next / prior from current key
    void repositionAfterLoss(const QVariantList& oldKey, qint64 oldRid);
    int countVisible(const Sql* extra);
};

void TTable::Impl::resolveIndex()
{
    keyFields.clear();
    keyNoCase.clear();
    if (!def)
        return;
    QStringList fields;
    bool ci = false;
    if (indexName.isEmpty()) {
        fields = def->primaryKey;
        ci = def->primaryCaseInsensitive;
    } else if (const IndexDef* ix = def->index(indexName)) {
        fields = ix->fields;
        ci = ix->caseInsensitive;
    } else {
        throw DbError(QStringLiteral("Index '%1' not found in table '%2'.").arg(indexName, def->name));
    }
    for (const QString& f : fields) {
        const int i = def->fieldIndex(f);
        keyFields << i;
        keyNoCase << (ci && isTextType(def->fields[i].type));
    }
}

QVariantList TTable::Impl::readRow(const QSqlQuery& qq) const
{
    QVariantList r;
    const int n = def->fields.size();
    r.reserve(n);
    for (int i = 0; i < n; ++i)
        r << fromSql(def->fields[i], qq.value(i + 1));
    return r;
}

QString TTable::Impl::orderBy(bool descending) const
{
    QStringList parts;
    const QLatin1String dir = descending ? QLatin1String(" DESC") : QLatin1String("");
    for (int i = 0; i < keyFields.size(); ++i)
        parts << col(keyFields[i], keyNoCase[i]) + dir;
    parts << QLatin1String("rowid") + dir;
    return QLatin1String(" ORDER BY ") + parts.join(QLatin1String(", "));
}

// Lexicographic comparison of the first n key fields (then rowid when
// withRowid) with vals; an empty field sorts before every value.
TTable::Impl::Sql TTable::Impl::tupleCompare(int n, const QVariantList& vals, bool withRowid, qint64 rid,
                                             bool greater, bool orEqual) const
{
    // Built from the innermost term outwards.
    Sql inner;
    if (withRowid) {
        inner.text = greater ? (orEqual ? QStringLiteral("rowid >= ?") : QStringLiteral("rowid > ?"))
                             : (orEqual ? QStringLiteral("rowid <= ?") : QStringLiteral("rowid < ?"));
        inner.values << rid;
    } else {
        inner.text = orEqual ? QStringLiteral("1") : QStringLiteral("0");
    }
    for (int i = n - 1; i >= 0; --i) {
        const FieldDef& f = def->fields[keyFields[i]];
        const QString c = col(keyFields[i], keyNoCase[i]);
        const QVariant v = keyToSql(f, vals[i]);
        Sql s;
        if (v.isValid()) {
            const QString strict = greater ? c + QLatin1String(" > ?")
                                           : QLatin1String("(") + c + QLatin1String(" < ? OR ") + dbi::quoteId(f.name) + QLatin1String(" IS NULL)");
            s.text = QStringLiteral("(%1 OR (%2 = ? AND %3))").arg(strict, c, inner.text);
            s.values << v << v << inner.values;
        } else {
            const QString strict = greater ? dbi::quoteId(f.name) + QLatin1String(" IS NOT NULL") : QStringLiteral("0");
            s.text = QStringLiteral("(%1 OR (%2 IS NULL AND %3))").arg(strict, dbi::quoteId(f.name), inner.text);
            s.values << inner.values;
        }
        inner = s;
    }
    // A leading bound on the first field lets the index seek.
    if (n > 0 && greater) {
        const QVariant v = keyToSql(def->fields[keyFields[0]], vals[0]);
        if (v.isValid()) {
            Sql s;
            s.text = QStringLiteral("%1 >= ? AND %2").arg(col(keyFields[0], keyNoCase[0]), inner.text);
            s.values << v << inner.values;
            return s;
        }
    }
    return inner;
}

TTable::Impl::Sql TTable::Impl::visibility() const
{
    Sql s;
    QStringList parts;
    if (hasRange) {
        const int ns = qMin(rangeStart.size(), keyFields.size());
        const int ne = qMin(rangeEnd.size(), keyFields.size());
        if (ns > 0) {
            Sql a = tupleCompare(ns, rangeStart, false, 0, true, true);
            parts << a.text;
            s.values << a.values;
        }
        if (ne > 0) {
            Sql b = tupleCompare(ne, rangeEnd, false, 0, false, true);
            parts << b.text;
            s.values << b.values;
        }
    }
    if (filtered) {
        for (const FilterCondition& c : conds) {
            const int fi = def->fieldIndex(c.field);
            if (fi < 0)
                throw DbError(QStringLiteral("Field '%1' not found in table '%2'.").arg(c.field, def->name));
            const FieldDef& f = def->fields[fi];
            const QString name = dbi::quoteId(f.name);
            QVariant v;
            if (isTextType(f.type))
                v = c.value.typeId() == QMetaType::Double ? QVariant(generalFormat(c.value.toDouble())) : QVariant(c.value.toString());
            else
                v = keyToSql(f, c.value.typeId() == QMetaType::QString && c.value.toString().isEmpty() ? QVariant() : c.value);
            const bool blank = !v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
            if (blank && (c.op == QLatin1String("=") || c.op == QLatin1String("<>"))) {
                // An empty value compares with empty fields.
                parts << (c.op == QLatin1String("=") ? name + QLatin1String(" IS NULL") : name + QLatin1String(" IS NOT NULL"));
                continue;
            }
            parts << name + QLatin1Char(' ') + c.op + QLatin1String(" ?");
            s.values << v;
        }
    }
    s.text = parts.join(QLatin1String(" AND "));
    return s;
}

bool TTable::Impl::acceptsRow(const QVariantList& candidate, qint64 rid)
{
    if (!predicateActive())
        return true;
    // The predicate reads the candidate as the current row.
    const bool savedHas = hasRow;
    const qint64 savedRid = rowid;
    QVariantList savedRow = std::move(row);
    const State savedState = state;
    hasRow = true;
    rowid = rid;
    row = candidate;
    state = State::Browse;
    bool ok = false;
    try {
        ok = predicate(*q);
    } catch (...) {
        hasRow = savedHas;
        rowid = savedRid;
        row = std::move(savedRow);
        state = savedState;
        throw;
    }
    hasRow = savedHas;
    rowid = savedRid;
    row = std::move(savedRow);
    state = savedState;
    return ok;
}

bool TTable::Impl::fetchFirst(const Sql& extra, bool descending, qint64* ridOut, QVariantList* rowOut)
{
    const Sql vis = visibility();
    QString where;
    QVariantList values;
    if (!vis.text.isEmpty()) {
        where = vis.text;
        values = vis.values;
    }
    if (!extra.text.isEmpty()) {
        where = where.isEmpty() ? extra.text : QLatin1Char('(') + where + QLatin1String(") AND ") + extra.text;
        values << extra.values;
    }
    QString sql = selectAll;
    if (!where.isEmpty())
        sql += QLatin1String(" WHERE ") + where;
    sql += orderBy(descending);
    const bool usePredicate = predicateActive();
    if (!usePredicate)
        sql += QLatin1String(" LIMIT 1");
    QSqlQuery& qq = dbi::run(sql, values);
    bool found = false;
    try {
        while (qq.next()) {
            QVariantList r = readRow(qq);
            const qint64 rid = qq.value(0).toLongLong();
            if (!usePredicate || acceptsRow(r, rid)) {
                *ridOut = rid;
                *rowOut = std::move(r);
                found = true;
                break;
            }
        }
    } catch (...) {
        qq.finish();
        throw;
    }
    qq.finish();
    return found;
}

bool TTable::Impl::moveFirst(bool descending)
{
    qint64 rid = 0;
    QVariantList r;
    if (fetchFirst({}, descending, &rid, &r)) {
        setCurrent(rid, r);
        return true;
    }
    setNoRow();
    return false;
}

bool TTable::Impl::moveFrom(bool forward)
{
    if (!hasRow)
        return false;
    const Sql cmp = tupleCompare(keyFields.size(), currentKey(), true, rowid, forward, false);
    qint64 rid = 0;
    QVariantList r;
    if (fetchFirst(cmp, !forward, &rid, &r)) {
        setCurrent(rid, r);
        return true;
    }
    return false;
}

// The current row vanished (deleted, or no longer visible): go to the next
// visible row in order, else the one before, else nothing.
void TTable::Impl::repositionAfterLoss(const QVariantList& oldKey, qint64 oldRid)
{
    qint64 rid = 0;
    QVariantList r;
    if (fetchFirst(tupleCompare(keyFields.size(), oldKey, true, oldRid, true, false), false, &rid, &r)
        || fetchFirst(tupleCompare(keyFields.size(), oldKey, true, oldRid, false, false), true, &rid, &r)) {
        setCurrent(rid, r);
        eof = bof = false;
    } else {
        setNoRow();
        eof = bof = true;
    }
}

int TTable::Impl::countVisible(const Sql* extra)
{
    const Sql vis = visibility();
    QString where = vis.text;
    QVariantList values = vis.values;
    if (extra) {
        where = where.isEmpty() ? extra->text : QLatin1Char('(') + where + QLatin1String(") AND ") + extra->text;
        values << extra->values;
    }
    if (!predicateActive()) {
        QString sql = QLatin1String("SELECT COUNT(*) FROM ") + base;
        if (!where.isEmpty())
            sql += QLatin1String(" WHERE ") + where;
        QSqlQuery& qq = dbi::run(sql, values);
        const int n = qq.next() ? qq.value(0).toInt() : 0;
        qq.finish();
        return n;
    }
    QString sql = selectAll;
    if (!where.isEmpty())
        sql += QLatin1String(" WHERE ") + where;
    QSqlQuery& qq = dbi::run(sql, values);
    int n = 0;
    try {
        while (qq.next())
            if (acceptsRow(readRow(qq), qq.value(0).toLongLong()))
                ++n;
    } catch (...) {
        qq.finish();
        throw;
    }
    qq.finish();
    return n;
}

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
    if (d->open) {
        try {
            if (d->state == State::Edit || d->state == State::Insert)
                d->state = State::Browse;
            if (d->def && d->def->scratch)
                dbi::commitScratch();
        } catch (...) {
        }
    }
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
        d->base = dbi::quoteId(tableBaseName(d->def->name));
        QStringList cols{QStringLiteral("rowid")};
        for (const FieldDef& f : d->def->fields)
            cols << dbi::quoteId(f.name);
        d->selectAll = QStringLiteral("SELECT %1 FROM %2").arg(cols.join(QLatin1String(", ")), d->base);
        d->row = d->emptyRow();
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
    d->indexName = name;
    d->resolveIndex();
    d->hasRange = false;
    // Stay on the same row where it is still visible.
    if (d->hasRow) {
        const qint64 rid = d->rowid;
        Impl::Sql same{QStringLiteral("rowid = ?"), {rid}};
        qint64 r = 0;
        QVariantList vals;
        if (d->fetchFirst(same, false, &r, &vals))
            d->setCurrent(r, vals);
        else if (!d->moveFirst(false))
            d->eof = d->bof = true;
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
    if (!Database::isOpen())
        Database::open();
    d->open = true;
    d->state = State::Browse;
    try {
        const bool any = d->moveFirst(false);
        d->bof = true;
        d->eof = !any;
    } catch (...) {
        d->open = false;
        d->state = State::Inactive;
        throw;
    }
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
    if (d->def && d->def->scratch)
        dbi::commitScratch();
    emit stateChanged();
}

bool TTable::isOpen() const { return d->open; }

TTable::State TTable::state() const { return d->state; }

void TTable::first()
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    const bool any = d->moveFirst(false);
    d->bof = true;
    d->eof = !any;
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
    if (d->moveFrom(false)) {
        d->eof = d->bof = false;
        emit afterScroll();
    } else {
        d->bof = true;
    }
}

bool TTable::eof() const { return d->eof; }

bool TTable::bof() const { return d->bof; }

int TTable::recordCount() const
{
    d->needOpen();
    return d->countVisible(nullptr);
}

bool TTable::isEmpty() const
{
    d->needOpen();
    if (d->hasRow)
        return false;
    qint64 rid = 0;
    QVariantList r;
    return !d->fetchFirst({}, false, &rid, &r);
}

int TTable::recNo() const
{
    d->needOpen();
    if (!d->hasRow)
        return 0;
    const Impl::Sql before = d->tupleCompare(d->keyFields.size(), d->currentKey(), true, d->rowid, false, false);
    return d->countVisible(&before) + 1;
}

bool TTable::findKey(const QVariantList& key)
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    if (d->keyFields.isEmpty())
        throw DbError(QStringLiteral("Table '%1' has no index for a key search.").arg(d->tableName));
    const int n = qMin(key.size(), d->keyFields.size());
    Impl::Sql s;
    QStringList parts;
    for (int i = 0; i < n; ++i) {
        const FieldDef& f = d->def->fields[d->keyFields[i]];
        const QVariant v = keyToSql(f, key[i]);
        if (v.isValid()) {
            parts << d->col(d->keyFields[i], d->keyNoCase[i]) + QLatin1String(" = ?");
            s.values << v;
        } else {
            parts << dbi::quoteId(f.name) + QLatin1String(" IS NULL");
        }
    }
    s.text = parts.isEmpty() ? QStringLiteral("1") : parts.join(QLatin1String(" AND "));
    qint64 rid = 0;
    QVariantList r;
    if (!d->fetchFirst(s, false, &rid, &r))
        return false;
    d->setCurrent(rid, r);
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
    qint64 rid = 0;
    QVariantList r;
    if (d->fetchFirst(d->tupleCompare(n, key, false, 0, true, true), false, &rid, &r)
        || d->fetchFirst({}, true, &rid, &r)) {
        d->setCurrent(rid, r);
        d->eof = d->bof = false;
        emit afterScroll();
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
    Impl::Sql s;
    if (v.isValid()) {
        s.text = dbi::quoteId(f.name) + QLatin1String(" = ?");
        s.values << v;
    } else {
        s.text = dbi::quoteId(f.name) + QLatin1String(" IS NULL");
    }
    qint64 rid = 0;
    QVariantList r;
    if (!d->fetchFirst(s, false, &rid, &r))
        return false;
    d->setCurrent(rid, r);
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
    first();
}

void TTable::cancelRange()
{
    if (!d->hasRange)
        return;
    d->hasRange = false;
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
    if (d->open)
        first();
}

bool TTable::filtered() const { return d->filtered; }

void TTable::setOnFilterRecord(std::function<bool(TTable&)> accept)
{
    d->predicate = std::move(accept);
    if (d->open && d->filtered)
        first();
}

// ---- editing ------------------------------------------------------------------------

void TTable::append()
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    d->buf = d->emptyRow();
    // A required flag starts false on a new row, as the desktop table's
    // default: the user is never refused for a mark nobody set.
    for (int i = 0; i < d->def->fields.size(); ++i)
        if (d->def->fields[i].required && d->def->fields[i].type == FieldType::Logical)
            d->buf[i] = false;
    d->modified = QList<bool>(d->def->fields.size(), false);
    d->state = State::Insert;
    emit stateChanged();
    emit dataChanged(-1);
}

void TTable::edit()
{
    d->needOpen();
    if (d->state == State::Edit || d->state == State::Insert)
        return;
    if (!d->hasRow) {   // nothing to edit: start a new row
        append();
        return;
    }
    d->buf = d->row;
    d->modified = QList<bool>(d->def->fields.size(), false);
    d->state = State::Edit;
    emit stateChanged();
}

void TTable::post()
{
    d->needOpen();
    if (d->state != State::Edit && d->state != State::Insert)
        return;
    const TableDef& def = *d->def;
    for (int i = 0; i < def.fields.size(); ++i)
        if (def.fields[i].required && !d->buf[i].isValid())
            throw DbError(QStringLiteral("Field '%1' must have a value.").arg(def.fields[i].name));

    dbi::beforeDurableWrite(def);
    qint64 rid = d->rowid;
    if (d->state == State::Insert) {
        QStringList cols, marks;
        QVariantList values;
        for (int i = 0; i < def.fields.size(); ++i) {
            if (def.fields[i].type == FieldType::AutoInc)
                continue;
            cols << dbi::quoteId(def.fields[i].name);
            marks << QStringLiteral("?");
            values << toSql(def.fields[i], d->buf[i]);
        }
        const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(d->base, cols.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
        QSqlQuery& qq = dbi::run(sql, values);
        rid = qq.lastInsertId().toLongLong();
        qq.finish();
        for (int i = 0; i < def.fields.size(); ++i)
            if (def.fields[i].type == FieldType::AutoInc)
                d->buf[i] = int(rid);
    } else {
        QStringList sets;
        QVariantList values;
        for (int i = 0; i < def.fields.size(); ++i) {
            if (!d->modified.value(i))
                continue;
            sets << dbi::quoteId(def.fields[i].name) + QLatin1String(" = ?");
            values << toSql(def.fields[i], d->buf[i]);
        }
        if (!sets.isEmpty()) {
            values << rid;
            QSqlQuery& qq = dbi::run(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(d->base, sets.join(QLatin1String(", "))), values);
            qq.finish();
        }
    }
    d->setCurrent(rid, d->buf);
    d->buf.clear();
    d->state = State::Browse;
    d->eof = d->bof = false;
    emit stateChanged();
    emit afterPost();
    emit dataChanged(-1);
    Database::notifyTableChanged(tableBaseName(def.name), this);
}

void TTable::cancel()
{
    if (!d->open || d->state == State::Browse)
        return;
    d->buf.clear();
    d->state = State::Browse;
    emit stateChanged();
    emit dataChanged(-1);
}

void TTable::remove()
{
    d->needOpen();
    if (d->state == State::Insert) {
        cancel();
        return;
    }
    if (d->state == State::Edit)
        cancel();
    if (!d->hasRow)
        throw DbError(QStringLiteral("Cannot perform this operation on an empty table ('%1').").arg(d->tableName));
    dbi::beforeDurableWrite(*d->def);
    QSqlQuery& qq = dbi::run(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(d->base), {d->rowid});
    qq.finish();
    d->repositionAfterLoss(d->currentKey(), d->rowid);
    emit afterDelete();
    emit afterScroll();
    Database::notifyTableChanged(tableBaseName(d->def->name), this);
}

void TTable::emptyTable()
{
    const TableDef& def = d->needDef();
    if (d->open && d->state != State::Browse)
        cancel();
    dbi::beforeDurableWrite(def);
    QSqlQuery& qq = dbi::run(QStringLiteral("DELETE FROM %1").arg(d->base), {});
    qq.finish();
    if (d->open) {
        d->setNoRow();
        d->eof = d->bof = true;
        emit afterScroll();
    }
    Database::notifyTableChanged(tableBaseName(def.name), this);
}

void TTable::refresh()
{
    if (!d->open || d->state != State::Browse)
        return;
    if (d->hasRow) {
        const QVariantList oldKey = d->currentKey();
        const qint64 oldRid = d->rowid;
        qint64 rid = 0;
        QVariantList r;
        if (d->fetchFirst({QStringLiteral("rowid = ?"), {oldRid}}, false, &rid, &r))
            d->setCurrent(rid, r);
        else
            d->repositionAfterLoss(oldKey, oldRid);
    } else {
        const bool any = d->moveFirst(false);
        d->eof = d->bof = !any;
    }
    emit dataChanged(-1);
    emit afterScroll();
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
    const int i = d->needDef().fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("Field '%1' not found in table '%2'.").arg(name, d->def->name));
    return TField(this, i);
}

bool TTable::hasField(const QString& name) const { return d->def && d->def->fieldIndex(name) >= 0; }

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
    return d->state == State::Browse ? d->row : d->buf;
}

QVariant TTable::valueAt(int index) const
{
    d->needOpen();
    const QVariantList& r = d->state == State::Browse ? d->row : d->buf;
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
