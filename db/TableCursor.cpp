// Finding rows for a table handle: the keyset statements on the current
// order, the visible rows (range, filter, predicate) and the position.
#include "TableImpl.h"

#include "Database.h"

namespace quen {

using namespace dbi;

void TTable::Impl::resolveIndex()
{
    keyFields.clear();
    keyNoCase.clear();
    invalidate();
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

QString TTable::Impl::orderBy(bool descending) const
{
    QStringList parts;
    const QLatin1String dir = descending ? QLatin1String(" DESC") : QLatin1String("");
    // Empty values sort first, as in SQLite (a server sorts them last unless told).
    const QString nulls = dialect().nullsOrder(descending);
    for (int i = 0; i < keyFields.size(); ++i)
        parts << col(keyFields[i], keyNoCase[i]) + dir + nulls;
    parts << QLatin1String("rowid") + dir;
    return QLatin1String(" ORDER BY ") + parts.join(QLatin1String(", "));
}

void TTable::Impl::tupleCompare(int n, const QVariantList& vals, bool withRowid, qint64 rid, bool greater,
                                bool orEqual, QString* text, QVariantList& values) const
{
    // The values in the order of the text built below: the leading bound,
    // then for each field (outermost first) its value twice.
    QVariantList conv;
    conv.reserve(n);
    for (int i = 0; i < n; ++i)
        conv << keyToSql(def->fields[keyFields[i]], vals[i]);
    const bool leading = n > 0 && greater && conv[0].isValid();
    if (leading)
        values << conv[0];
    for (int i = 0; i < n; ++i)
        if (conv[i].isValid())
            values << conv[i] << conv[i];
    if (withRowid)
        values << rid;
    if (!text)
        return;

    // Text, from the innermost term outwards.
    QString inner;
    if (withRowid)
        inner = greater ? (orEqual ? QStringLiteral("rowid >= ?") : QStringLiteral("rowid > ?"))
                        : (orEqual ? QStringLiteral("rowid <= ?") : QStringLiteral("rowid < ?"));
    else
        inner = orEqual ? QStringLiteral("1=1") : QStringLiteral("1=0");
    for (int i = n - 1; i >= 0; --i) {
        const QString name = dbi::quoteId(def->fields[keyFields[i]].name);
        const int f = keyFields[i];
        const bool nc = keyNoCase[i];
        if (conv[i].isValid()) {
            const QString strict = greater ? cmp(f, nc, QLatin1String(">"))
                                           : QLatin1String("(") + cmp(f, nc, QLatin1String("<")) + QLatin1String(" OR ") + name + QLatin1String(" IS NULL)");
            inner = QStringLiteral("(%1 OR (%2 AND %3))").arg(strict, cmp(f, nc, QLatin1String("=")), inner);
        } else {
            const QString strict = greater ? name + QLatin1String(" IS NOT NULL") : QStringLiteral("1=0");
            inner = QStringLiteral("(%1 OR (%2 IS NULL AND %3))").arg(strict, name, inner);
        }
    }
    // A leading bound on the first field lets the index seek.
    if (leading)
        inner = QStringLiteral("%1 AND %2").arg(cmp(keyFields[0], keyNoCase[0], QLatin1String(">=")), inner);
    *text = inner;
}

void TTable::Impl::ensureVisibility()
{
    if (visValid)
        return;
    QStringList parts;
    QVariantList values;
    if (hasRange) {
        const int ns = qMin(rangeStart.size(), keyFields.size());
        const int ne = qMin(rangeEnd.size(), keyFields.size());
        QString t;
        if (ns > 0) {
            tupleCompare(ns, rangeStart, false, 0, true, true, &t, values);
            parts << t;
        }
        if (ne > 0) {
            tupleCompare(ne, rangeEnd, false, 0, false, true, &t, values);
            parts << t;
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
            if (c.op == QLatin1String("<>"))   // an empty field differs from any value
                parts << QLatin1Char('(') + name + QLatin1String(" <> ? OR ") + name + QLatin1String(" IS NULL)");
            else
                parts << name + QLatin1Char(' ') + c.op + QLatin1String(" ?");
            values << v;
        }
    }
    visText = parts.join(QLatin1String(" AND "));
    visValues = values;
    visValid = true;
}

bool TTable::Impl::acceptsRow(const QVariantList& candidate, qint64 rid)
{
    // The predicate reads the candidate as the current row.
    const bool savedHas = hasRow, savedLoaded = rowLoaded, savedPending = pendingFirst, savedRead = fieldsRead;
    const qint64 savedRid = rowid;
    QVariantList savedRow = std::move(row);
    QVariantList savedKeys = std::move(keys);
    const State savedState = state;
    hasRow = true;
    rowLoaded = true;
    pendingFirst = false;
    rowid = rid;
    row = candidate;
    state = State::Browse;
    auto restore = [&] {
        hasRow = savedHas;
        rowLoaded = savedLoaded;
        pendingFirst = savedPending;
        fieldsRead = savedRead;
        rowid = savedRid;
        row = std::move(savedRow);
        keys = std::move(savedKeys);
        state = savedState;
    };
    bool ok = false;
    try {
        ok = predicate(*q);
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return ok;
}

namespace {
struct SharedShapeKey {
    const TableDef* def;
    QString index;
    bool serverDialect;
    quint64 key;
    bool operator==(const SharedShapeKey& o) const
    {
        return def == o.def && key == o.key && serverDialect == o.serverDialect && index == o.index;
    }
};
size_t qHash(const SharedShapeKey& k, size_t seed = 0)
{
    return qHashMulti(seed, quintptr(k.def), k.index, k.serverDialect, k.key);
}
} // namespace

dbi::Stmt& TTable::Impl::shapeStmt(quint64 key, const std::function<QString()>& build)
{
    static QHash<SharedShapeKey, Shape> shared;
    Shape* shape = nullptr;
    if (visText.isEmpty() && !predicateActive()) {
        shape = &shared[SharedShapeKey{def, indexName, serverDialect(), key}];
    } else {
        auto it = memo.find(key);
        if (it == memo.end())
            it = memo.insert(key, Shape());
        shape = &*it;
    }
    if (shape->sql.isEmpty())
        shape->sql = build();
    const quint64 generation = dbi::statementGeneration();
    if (!shape->stmt || shape->generation != generation) {
        shape->stmt = &stmt(shape->sql);
        shape->generation = generation;
    }
    return *shape->stmt;
}

bool TTable::Impl::fetch(quint64 s, const std::function<QString()>& buildExtra, const QVariantList& extraValues,
                         bool descending, Hit* out, int batch, QList<Hit>* more)
{
    ensureVisibility();
    const bool pred = predicateActive();
    const quint64 key = s ^ (descending ? (quint64(1) << 62) : 0) ^ (quint64(batch) << 52);
    dbi::Stmt& qq = shapeStmt(key, [&] {
        QString where = visText;
        const QString extra = buildExtra ? buildExtra() : QString();
        if (!extra.isEmpty())
            where = where.isEmpty() ? extra : QLatin1Char('(') + where + QLatin1String(") AND ") + extra;
        QString sql = selectAll;
        if (!where.isEmpty())
            sql += QLatin1String(" WHERE ") + where;
        sql += orderBy(descending);
        if (!pred)
            sql += QStringLiteral(" LIMIT %1").arg(batch > 0 ? batch : 1);
        return sql;
    });
    int b = 0;
    for (const QVariant& v : visValues)
        qq.bindValue(b++, v);
    for (const QVariant& v : extraValues)
        qq.bindValue(b++, v);
    if (!qq.exec())
        throw DbError(QStringLiteral("Database error: %1").arg(qq.errorText()));
    bool found = false;
    try {
        while (qq.next()) {
            QVariantList r = readRow(qq);
            const qint64 rid = qq.value(0).toLongLong();
            if (!pred || acceptsRow(r, rid)) {
                Hit h;
                h.rid = rid;
                h.keys = keysOf(r);
                h.row = std::move(r);
                h.loaded = true;
                if (!found) {
                    *out = std::move(h);
                    found = true;
                    if (!more)
                        break;
                } else {
                    more->append(std::move(h));
                }
            }
        }
    } catch (...) {
        qq.finish();
        throw;
    }
    qq.finish();
    return found;
}

int TTable::Impl::countVisible(quint64 s, const std::function<QString()>& buildExtra, const QVariantList& extraValues)
{
    ensureVisibility();
    const bool full = predicateActive();
    const quint64 key = s ^ (quint64(1) << 61);
    dbi::Stmt& qq = shapeStmt(key, [&] {
        QString where = visText;
        const QString extra = buildExtra ? buildExtra() : QString();
        if (!extra.isEmpty())
            where = where.isEmpty() ? extra : QLatin1Char('(') + where + QLatin1String(") AND ") + extra;
        QString sql = full ? selectAll : QLatin1String("SELECT COUNT(*) FROM ") + base;
        if (!where.isEmpty())
            sql += QLatin1String(" WHERE ") + where;
        return sql;
    });
    int b = 0;
    for (const QVariant& v : visValues)
        qq.bindValue(b++, v);
    for (const QVariant& v : extraValues)
        qq.bindValue(b++, v);
    if (!qq.exec())
        throw DbError(QStringLiteral("Database error: %1").arg(qq.errorText()));
    int n = 0;
    try {
        if (!full) {
            n = qq.next() ? qq.value(0).toInt() : 0;
        } else {
            while (qq.next())
                if (acceptsRow(readRow(qq), qq.value(0).toLongLong()))
                    ++n;
        }
    } catch (...) {
        qq.finish();
        throw;
    }
    qq.finish();
    return n;
}

void TTable::Impl::ensureRow()
{
    if (!hasRow || rowLoaded)
        return;
    dbi::Stmt& qq = exec(rowByRowid, {rowid});
    if (qq.next())
        row = readRow(qq);
    else
        row = emptyRow();   // removed behind this handle's back
    qq.finish();
    rowLoaded = true;
    takeStamp();
}

bool TTable::Impl::moveFirst(bool descending)
{
    Hit h;
    if (fetch(sig(kFirst), nullptr, {}, descending, &h)) {
        setCurrent(std::move(h));
        return true;
    }
    setNoRow();
    return false;
}

bool TTable::Impl::fetchAdjacent(const QVariantList& fromKeys, qint64 fromRid, bool forward, Hit* out,
                                 QList<Hit>* more)
{
    const int n = keyFields.size();
    QVariantList values;
    tupleCompare(n, fromKeys, true, fromRid, forward, false, nullptr, values);
    auto build = [&]() {
        QString t;
        QVariantList dummy;
        tupleCompare(n, fromKeys, true, fromRid, forward, false, &t, dummy);
        return t;
    };
    const quint64 mask = nullMask(fromKeys, n);
    if (forward)
        return fetch(sig(kTuple, n, mask, 1), build, values, false, out, more ? 48 : 0, more);
    // Backwards: rows up to the current first-field value through the index
    // (an upper bound it can seek on), then the empty ones, which sort first.
    const QVariant first = n > 0 ? keyToSql(def->fields[keyFields[0]], fromKeys[0]) : QVariant();
    if (!first.isValid())
        return fetch(sig(kTuple, n, mask, 2), build, values, true, out);
    QVariantList bounded{first};
    bounded << values;
    auto buildBounded = [&]() { return cmp(keyFields[0], keyNoCase[0], QLatin1String("<=")) + QLatin1String(" AND ") + build(); };
    if (fetch(sig(kTuple, n, mask, 4), buildBounded, bounded, true, out))
        return true;
    auto buildNull = [&]() { return dbi::quoteId(def->fields[keyFields[0]].name) + QLatin1String(" IS NULL"); };
    return fetch(sig(kTuple, 0, 0, 5), buildNull, {}, true, out);
}

bool TTable::Impl::moveFrom(bool forward)
{
    if (!hasRow)
        return false;
    const int oldPos = pos;
    Hit h;
    if (forward && !ahead.isEmpty()) {
        h = ahead.takeFirst();
        QList<Hit> rest = std::move(ahead);
        setCurrent(std::move(h));
        ahead = std::move(rest);
    } else {
        // A caller that read the fields of this row will read the next ones:
        // read a run of whole rows at once.
        const bool readAhead = forward && fieldsRead && !predicateActive();
        QList<Hit> more;
        if (!fetchAdjacent(keys, rowid, forward, &h, readAhead ? &more : nullptr))
            return false;
        setCurrent(std::move(h));
        ahead = std::move(more);
    }
    pos = oldPos > 0 ? oldPos + (forward ? 1 : -1) : 0;
    return true;
}

// The current row vanished (deleted, or no longer visible): go to the next
// visible row in order, else the one before, else nothing.
void TTable::Impl::repositionAfterLoss(const QVariantList& oldKeys, qint64 oldRid)
{
    Hit h;
    if (fetchAdjacent(oldKeys, oldRid, true, &h) || fetchAdjacent(oldKeys, oldRid, false, &h)) {
        setCurrent(std::move(h));
        eof = bof = false;
    } else {
        setNoRow();
        eof = bof = true;
    }
}

} // namespace quen
