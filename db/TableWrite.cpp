// Writes of a table handle: posts of new and changed rows, deletes, the
// emptying of a table and the bulk appends.
#include "TableImpl.h"

#include <QSqlError>

#include "Database.h"

namespace quen {

using namespace dbi;

const TableSql& dbi::tableSql(const TableDef& def)
{
    static std::unordered_map<const TableDef*, TableSql> cache;
    auto it = cache.find(&def);
    if (it != cache.end())
        return it->second;
    TableSql t;
    for (int i = def.fields.size() - 1; i >= 0; --i)   // the first of equal names wins
        t.fieldPos.insert(def.fields[i].name, i);
    t.base = dbi::quoteId(tableBaseName(def.name));
    QStringList cols{QStringLiteral("rowid")};
    for (const FieldDef& f : def.fields)
        cols << dbi::quoteId(f.name);
    t.selectAll = QStringLiteral("SELECT %1 FROM %2").arg(cols.join(QLatin1String(", ")), t.base);
    t.rowByRowid = t.selectAll + QLatin1String(" WHERE rowid = ?");
    QStringList ins, marks;
    for (const FieldDef& f : def.fields) {
        if (f.type == FieldType::AutoInc)
            continue;
        ins << dbi::quoteId(f.name);
        marks << QStringLiteral("?");
    }
    t.insertSql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(t.base, ins.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
    return cache.emplace(&def, std::move(t)).first->second;
}

// Stores count new rows through multi-row statements (at most 64 rows and
// 999 values each), inside a savepoint so that a refused row leaves
// nothing behind (throws DbError). bindRow binds the perRow values of row r
// from position b on. Returns the rowid of the last row.
// A key violation names the first refused row: found, after the rollback,
// by storing the rows one by one (inside a savepoint rolled back as well);
// valueOf(r, i) gives field i of row r as stored.
namespace {

qint64 insertChunked(const TableDef& def, const QString& insertSql, int perRowIn, int count, bool scratch,
                     const std::function<void(dbi::Stmt&, int, int&)>& bindRow,
                     const std::function<QVariant(int, int)>& valueOf)
{
    const int perRow = qMax(1, perRowIn);
    QString keyError;   // set when a row is refused for its key
    if (!scratch)
        dbi::ensureAttached();
    dbi::exec(QStringLiteral("SAVEPOINT quen_rows"), {}, scratch);
    qint64 rid = 0;
    try {
        // Full statements of the largest size, then one of the rows left.
        const int largest = qMax(1, qMin(64, 999 / perRow));
        int at = 0;
        while (at < count) {
            const int chunk = qMin(largest, count - at);
            // Statement text by row count, built once, and its prepared
            // statement (taken again after the connections changed).
            struct Chunk {
                QString sql;
                dbi::Stmt* stmt = nullptr;
                quint64 generation = 0;
            };
            static QHash<QPair<QString, int>, Chunk> chunks;   // by text, row count and connection
            const dbi::Dialect& dialect = dbi::dialect(scratch);
            Chunk& c = chunks[qMakePair(insertSql, chunk * 4 + (dialect.isServer() ? 2 : 0) + (scratch ? 1 : 0))];
            if (c.sql.isEmpty()) {
                // On the private database a refused row fails the statement
                // without a statement journal of its own: the savepoint
                // around all of them takes back the rows stored before it.
                c.sql = scratch && insertSql.startsWith(QLatin1String("INSERT INTO "))
                    ? QLatin1String("INSERT OR FAIL INTO ") + insertSql.mid(12)
                    : insertSql;
                const QString marks = c.sql.mid(c.sql.lastIndexOf(QLatin1String(" VALUES ")) + 8);
                for (int k = 1; k < chunk; ++k)
                    c.sql += QLatin1String(", ") + marks;
                c.sql += dialect.returningRowid();
            }
            if (!c.stmt || c.generation != dbi::statementGeneration()) {
                c.stmt = &dbi::stmt(c.sql, scratch);
                c.generation = dbi::statementGeneration();
            }
            dbi::Stmt& qq = *c.stmt;
            while (count - at >= chunk) {
                int b = 0;
                for (int k = 0; k < chunk; ++k, ++at)
                    bindRow(qq, at, b);
                if (!qq.exec()) {
                    if (qq.isKeyViolation()) {
                        keyError = qq.errorText();
                        throw DbError(QStringLiteral("Key violation."));
                    }
                    throw DbError(QStringLiteral("Database error: %1").arg(qq.errorText()));
                }
                rid = qq.lastInsertId();
            }
        }
        dbi::exec(QStringLiteral("RELEASE quen_rows"), {}, scratch);
        return rid;
    } catch (...) {
        try {
            dbi::exec(QStringLiteral("ROLLBACK TO quen_rows"), {}, scratch);
            dbi::exec(QStringLiteral("RELEASE quen_rows"), {}, scratch);
        } catch (...) {
        }
        if (keyError.isNull())
            throw;
    }
    // The refused row, for the message; nothing of the search is kept.
    int refused = -1;
    try {
        dbi::exec(QStringLiteral("SAVEPOINT quen_rows"), {}, scratch);
        dbi::Stmt& one = dbi::stmt(insertSql + dbi::dialect(scratch).returningRowid(), scratch);
        for (int r = 0; r < count && refused < 0; ++r) {
            int b = 0;
            bindRow(one, r, b);
            if (!one.exec()) {
                refused = r;
                if (one.isKeyViolation())
                    keyError = one.errorText();
            }
        }
        dbi::exec(QStringLiteral("ROLLBACK TO quen_rows"), {}, scratch);
        dbi::exec(QStringLiteral("RELEASE quen_rows"), {}, scratch);
    } catch (const DbError&) {
    }
    if (refused < 0)
        throw DbError(QStringLiteral("Key violation. \"%1\" already holds a record with the same key.").arg(def.name));
    throw DbError(keyViolationMessage(def, keyError, [&](int i) { return valueOf(refused, i); }));
}

} // namespace

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
    d->resolve();
    if (!d->hasRow) {   // nothing to edit: start a new row
        append();
        return;
    }
    d->ensureRow();
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

    qint64 rid = d->rowid;
    if (d->state == State::Insert) {
        if (!d->scratch())
            dbi::ensureAttached();
        dbi::Stmt& qq = d->stmt(d->insertSql + d->dialect().returningRowid());
        int b = 0;
        for (int i = 0; i < def.fields.size(); ++i)
            if (def.fields[i].type != FieldType::AutoInc)
                qq.bindValue(b++, toSql(def.fields[i], d->buf[i]));
        if (!qq.exec()) {
            if (qq.isKeyViolation())
                throw DbError(keyViolationMessage(def, qq.errorText(), [&](int i) { return d->buf.value(i); }));
            throw DbError(QStringLiteral("Database error: %1").arg(qq.errorText()));
        }
        rid = qq.lastInsertId();
        for (int i = 0; i < def.fields.size(); ++i)
            if (def.fields[i].type == FieldType::AutoInc)
                d->buf[i] = int(rid);
    } else {
        QVariantList values;
        const int nf = def.fields.size();
        QByteArray shape(nf + 1, '0');   // the changed fields, then the dialect
        for (int i = 0; i < nf; ++i) {
            if (!d->modified.value(i))
                continue;
            shape[i] = '1';
            values << toSql(def.fields[i], d->buf[i]);
        }
        if (!values.isEmpty() && !d->scratch())
            dbi::ensureAttached();
        if (!values.isEmpty()) {
            // Written only over the row as it was read: a row another user
            // changed (or removed) since then is not overwritten. A private
            // table's row nothing has written to since it was read is
            // written by its rowid alone.
            values << rid;
            const bool plain = d->rowUnchangedSinceRead();
            if (!plain)
                for (int i = 0; i < nf; ++i)
                    values << toSql(def.fields[i], d->row.value(i));
            const bool server = d->serverDialect();
            shape[nf] = plain ? 'p' : server ? 's' : 'f';
            // The statement text of each set of changed fields is built once.
            static std::unordered_map<const TableDef*, QHash<QByteArray, QString>> updates;
            QHash<QByteArray, QString>& known = updates[&def];
            auto it = known.constFind(shape);
            if (it == known.constEnd()) {
                QStringList sets;
                for (int i = 0; i < nf; ++i)
                    if (shape[i] == '1')
                        sets << dbi::quoteId(def.fields[i].name) + QLatin1String(" = ?");
                QString where = QStringLiteral("rowid = ?");
                const QString same = d->dialect().sameAsValue();
                if (!plain)
                    for (int i = 0; i < nf; ++i)
                        where += QLatin1String(" AND ") + dbi::quoteId(def.fields[i].name) + same;
                it = known.insert(shape, QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(d->base, sets.join(QLatin1String(", ")), where));
            }
            dbi::Stmt& qq = d->stmt(*it);
            for (int i = 0; i < values.size(); ++i)
                qq.bindValue(i, values[i]);
            if (!qq.exec()) {
                if (qq.isKeyViolation())
                    throw DbError(keyViolationMessage(def, qq.errorText(), [&](int i) { return d->buf.value(i); }));
                throw DbError(QStringLiteral("Database error: %1").arg(qq.errorText()));
            }
            const int changed = qq.rowsAffected();
            qq.finish();
            if (changed == 0) {
                d->buf.clear();
                d->state = State::Browse;
                d->rowLoaded = false;
                emit stateChanged();
                refresh();   // shows the row as it is now
                throw DbError(QStringLiteral("This record was changed by another user."));
            }
            // A changed row key moves the row to the new rowid.
            const int rowKey = def.rowKeyField();
            if (rowKey >= 0 && shape[rowKey] == '1')
                rid = toSql(def.fields[rowKey], d->buf[rowKey]).toLongLong();
        }
    }
    dbi::scratchWritten(&def);
    Impl::Hit h;
    h.rid = rid;
    h.keys = d->keysOf(d->buf);
    h.row = std::move(d->buf);
    h.loaded = true;
    d->setCurrent(std::move(h));
    d->buf.clear();
    d->state = State::Browse;
    d->eof = d->bof = false;
    emit stateChanged();
    emit afterPost();
    emit dataChanged(-1);
    Database::notifyTableChanged(tableBaseName(def.name), this);
}

void TTable::appendRecord(const QVariantList& values)
{
    append();
    const int n = qMin(values.size(), d->def->fields.size());
    try {
        for (int i = 0; i < n; ++i)
            if (d->def->fields[i].type != FieldType::AutoInc && values[i].isValid())
                setValueAt(i, values[i]);
    } catch (...) {
        cancel();
        throw;
    }
    post();
}

void TTable::appendRows(const QList<QVariantList>& rows)
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    if (rows.isEmpty())
        return;
    const TableDef& def = *d->def;
    const int nf = def.fields.size();

    // Every row is converted and checked before anything is written.
    QList<QVariantList> stored;
    stored.reserve(rows.size());
    for (const QVariantList& values : rows) {
        QVariantList r = d->emptyRow();
        for (int i = 0; i < nf; ++i) {
            const FieldDef& f = def.fields[i];
            if (f.type == FieldType::AutoInc)
                continue;
            if (i < values.size() && values[i].isValid())
                r[i] = toStored(f, values[i]);
            else if (f.required && f.type == FieldType::Logical)
                r[i] = false;
        }
        for (int i = 0; i < nf; ++i)
            if (def.fields[i].required && !r[i].isValid())
                throw DbError(QStringLiteral("Field '%1' must have a value.").arg(def.fields[i].name));
        stored << std::move(r);
    }

    QList<int> cols;
    for (int i = 0; i < nf; ++i)
        if (def.fields[i].type != FieldType::AutoInc)
            cols << i;
    const qint64 rid = insertChunked(
        def, d->insertSql, int(cols.size()), int(stored.size()), d->scratch(),
        [&](dbi::Stmt& qq, int r, int& b) {
            for (int i : cols)
                qq.bindValue(b++, toSql(def.fields[i], stored[r][i]));
        },
        [&](int r, int i) { return stored[r].value(i); });
    dbi::scratchWritten(&def);

    QVariantList last = std::move(stored.last());
    landOnAppendedRow(std::move(last), rid);
}

void TTable::landOnAppendedRow(QVariantList last, qint64 rid)
{
    const TableDef& def = *d->def;
    for (int i = 0; i < def.fields.size(); ++i)
        if (def.fields[i].type == FieldType::AutoInc)
            last[i] = int(rid);
    Impl::Hit h;
    h.rid = rid;
    h.keys = d->keysOf(last);
    h.row = std::move(last);
    h.loaded = true;
    d->setCurrent(std::move(h));
    d->eof = d->bof = false;
    emit afterPost();
    emit dataChanged(-1);
    Database::notifyTableChanged(tableBaseName(def.name), this);
}

void TTable::appendColumns(const QList<int>& fields, const QList<const double*>& columns, int rowCount)
{
    d->needOpen();
    if (d->state != State::Browse)
        post();
    const TableDef& def = *d->def;
    const int nf = def.fields.size();
    if (fields.size() != columns.size())
        throw DbError(QStringLiteral("Database error: %1 fields and %2 columns given for '%3'.")
                          .arg(fields.size()).arg(columns.size()).arg(d->tableName));
    if (rowCount <= 0)
        return;
    QList<bool> given(nf, false);
    for (int k = 0; k < fields.size(); ++k) {
        const int i = fields[k];
        if (i < 0 || i >= nf)
            throw DbError(QStringLiteral("Database error: no field at position %1 in table '%2'.").arg(i).arg(d->tableName));
        const FieldDef& f = def.fields[i];
        if (isTextType(f.type) || f.type == FieldType::AutoInc || given[i])
            throw DbError(QStringLiteral("Field '%1' cannot be given as a column of numbers.").arg(f.name));
        given[i] = true;
    }
    // A required field not given: a logical one starts false, any other refuses the rows.
    QList<int> falseFields;
    for (int i = 0; i < nf; ++i) {
        if (given[i] || !def.fields[i].required)
            continue;
        if (def.fields[i].type != FieldType::Logical)
            throw DbError(QStringLiteral("Field '%1' must have a value.").arg(def.fields[i].name));
        falseFields << i;
    }
    // Shorts are checked before anything is written, as toStored checks them.
    for (int k = 0; k < fields.size(); ++k) {
        const FieldDef& f = def.fields[fields[k]];
        if (f.type != FieldType::Short || !columns[k])
            continue;
        for (int r = 0; r < rowCount; ++r) {
            const double v = columns[k][r];
            const bool finite = std::isfinite(v) && std::fabs(v) <= 1e9;
            const qint64 n = finite ? qRound64(v) : 0;
            if (!finite || n < -32768 || n > 32767)
                throw DbError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is -32768 to 32767.")
                                  .arg(generalFormat(v), f.name));
        }
    }

    auto stored = [&](int k, int r) -> QVariant {
        const double v = columns[k] ? columns[k][r] : 0.0;
        switch (def.fields[fields[k]].type) {
        case FieldType::Short: return int(qRound64(v));
        case FieldType::Logical: return v != 0.0;
        default: return v;
        }
    };
    // Field i of row r as stored, for a key violation's message.
    auto columnValue = [&](int i, int r) -> QVariant {
        const int k = int(fields.indexOf(i));
        if (k >= 0)
            return stored(k, r);
        return falseFields.contains(i) ? QVariant(false) : QVariant();
    };
    auto landOnLast = [&](qint64 rid) {
        QVariantList last = d->emptyRow();
        for (int k = 0; k < fields.size(); ++k)
            last[fields[k]] = stored(k, rowCount - 1);
        for (int i : falseFields)
            last[i] = false;
        landOnAppendedRow(std::move(last), rid);
    };

    // Zeros (null columns, false logicals) are part of the statement text:
    // only the given numbers are bound.
    QStringList names, marks;
    struct Bound {
        const double* values;
        FieldType type;
    };
    std::vector<Bound> bound;
    for (int k = 0; k < fields.size(); ++k) {
        const FieldDef& f = def.fields[fields[k]];
        names << dbi::quoteId(f.name);
        if (columns[k]) {
            marks << QStringLiteral("?");
            bound.push_back({columns[k], f.type});
        } else {
            marks << (f.type == FieldType::Float ? QStringLiteral("0.0") : QStringLiteral("0"));
        }
    }
    for (int i : falseFields) {
        names << dbi::quoteId(def.fields[i].name);
        marks << QStringLiteral("0");
    }
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(d->base, names.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
    const qint64 rid = insertChunked(
        def, sql, int(bound.size()), rowCount, d->scratch(),
        [&](dbi::Stmt& qq, int r, int& b) {
            for (const Bound& c : bound) {
                const double v = c.values[r];
                switch (c.type) {
                case FieldType::Short: qq.bindInt64(b++, qRound64(v)); break;
                case FieldType::Logical: qq.bindInt64(b++, v != 0.0 ? 1 : 0); break;
                default: qq.bindDouble(b++, v); break;
                }
            }
        },
        [&](int r, int i) { return columnValue(i, r); });
    dbi::scratchWritten(&def);
    landOnLast(rid);
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
    d->resolve();
    if (!d->hasRow)
        throw DbError(QStringLiteral("Cannot perform this operation on an empty table ('%1').").arg(d->tableName));
    if (!d->scratch())
        dbi::ensureAttached();
    dbi::Stmt& qq = d->exec(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(d->base), {d->rowid});
    qq.finish();
    dbi::scratchWritten(d->def);
    d->repositionAfterLoss(d->keys, d->rowid);
    emit afterDelete();
    emit afterScroll();
    Database::notifyTableChanged(tableBaseName(d->def->name), this);
}

int TTable::removeVisibleRows()
{
    d->needOpen();
    if (d->state != State::Browse)
        cancel();
    if (d->predicateActive()) {
        // A row predicate is not SQL: the rows go one by one.
        int n = 0;
        for (first(); !eof(); ++n)
            remove();
        return n;
    }
    const int n = recordCount();
    if (n == 0)
        return 0;
    d->ensureVisibility();
    if (!d->scratch())
        dbi::ensureAttached();
    QString sql = QStringLiteral("DELETE FROM %1").arg(d->base);
    if (!d->visText.isEmpty())
        sql += QLatin1String(" WHERE ") + d->visText;
    dbi::Stmt& qq = d->exec(sql, d->visValues);
    qq.finish();
    dbi::scratchWritten(d->def);
    d->setNoRow();
    d->eof = d->bof = true;
    emit afterDelete();
    emit afterScroll();
    Database::notifyTableChanged(tableBaseName(d->def->name), this);
    return n;
}

void TTable::emptyTable()
{
    const TableDef& def = d->needDef();
    if (d->open && d->state != State::Browse)
        cancel();
    if (!def.scratch)
        dbi::ensureAttached();
    dbi::Stmt& qq = d->exec(QStringLiteral("DELETE FROM %1").arg(d->base), {});
    qq.finish();
    dbi::scratchWritten(&def);
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
    if (d->pendingFirst) {
        // Not read yet: it is read as it is now when first needed.
    } else if (d->hasRow) {
        const QVariantList oldKeys = d->keys;
        const qint64 oldRid = d->rowid;
        Impl::Hit h;
        if (d->fetch(sig(kRowid), [] { return QStringLiteral("rowid = ?"); }, {oldRid}, false, &h))
            d->setCurrent(std::move(h));   // re-read on the next field access
        else
            d->repositionAfterLoss(oldKeys, oldRid);
    } else {
        const bool any = d->moveFirst(false);
        d->eof = d->bof = !any;
    }
    emit dataChanged(-1);
    emit afterScroll();
}

} // namespace quen
