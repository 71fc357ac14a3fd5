#include "Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QStandardPaths>
#include <QStringDecoder>
#include <memory>
#include <sqlite3.h>
#include <unordered_map>

#include "DbInternal.h"
#include "MarkQuery.h"
#include "MessageService.h"
#include "Table.h"

namespace quen {

namespace {

const QString kConnectionName = QStringLiteral("quenpm-db");
const QString kSchemaTable = QStringLiteral("QuenpmSchema");

struct QStringHash {
    size_t operator()(const QString& s) const noexcept { return qHash(s); }
};

struct DbState {
    bool open = false;
    QString path;
    QString dataDir = QStringLiteral(":/quenpm/data/tables");
    std::unordered_map<QString, std::unique_ptr<QSqlQuery>, QStringHash> statements;
    sqlite3* native = nullptr;   // the connection's own SQLite handle
    std::unordered_map<QString, std::unique_ptr<dbi::Stmt>, QStringHash> nativeStatements;
    QList<TTable*> handles;
    bool scratchTxn = false;
    bool userTxn = false;        // inside Database::transaction
};

DbState& st()
{
    static DbState s;
    return s;
}

QSqlDatabase rawConnection() { return QSqlDatabase::database(kConnectionName, false); }

void execOrThrow(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw DbError(QStringLiteral("Database error: %1\n(%2)").arg(q.lastError().text(), sql));
    q.finish();
}

QString createTableSql(const TableDef& t)
{
    QStringList cols;
    for (const FieldDef& f : t.fields) {
        QString c = dbi::quoteId(f.name) + QLatin1Char(' ') + dbi::sqlTypeName(f.type);
        if (f.type == FieldType::AutoInc)
            c += QLatin1String(" PRIMARY KEY AUTOINCREMENT");
        cols << c;
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(dbi::quoteId(tableBaseName(t.name)), cols.join(QLatin1String(", ")));
}

QString indexColumns(const TableDef& t, const QStringList& fields, bool ci)
{
    QStringList parts;
    for (const QString& f : fields) {
        const int i = t.fieldIndex(f);
        const bool text = i >= 0 && (t.fields[i].type == FieldType::Text || t.fields[i].type == FieldType::Memo);
        parts << dbi::quoteId(f) + (ci && text ? QLatin1String(" COLLATE NOCASE") : QLatin1String(""));
    }
    return parts.join(QLatin1String(", "));
}

QStringList createIndexSql(const TableDef& t)
{
    QStringList out;
    const QString base = tableBaseName(t.name);
    const bool pkIsAutoInc = t.primaryKey.size() == 1 && t.fieldIndex(t.primaryKey[0]) >= 0
        && t.fields[t.fieldIndex(t.primaryKey[0])].type == FieldType::AutoInc;
    if (!t.primaryKey.isEmpty() && !pkIsAutoInc)
        out << QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (%3)")
                   .arg(dbi::quoteId(base + QLatin1String("$primary")), dbi::quoteId(base),
                        indexColumns(t, t.primaryKey, t.primaryCaseInsensitive));
    for (const IndexDef& ix : t.indexes)
        out << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                   .arg(ix.unique ? QLatin1String("UNIQUE ") : QLatin1String(""),
                        dbi::quoteId(base + QLatin1Char('$') + ix.name), dbi::quoteId(base),
                        indexColumns(t, ix.fields, ix.caseInsensitive));
    return out;
}

// ---- CSV reading ---------------------------------------------------------------

struct CsvRecord {
    int line = 0;
    QStringList cells;
};

[[noreturn]] void csvFail(const QString& file, int line, const QString& what)
{
    throw DbError(QStringLiteral("%1, line %2: %3").arg(file).arg(line).arg(what));
}

QList<CsvRecord> readCsv(const QString& fileLabel, const QString& text)
{
    QList<CsvRecord> out;
    const int n = text.size();
    int i = 0;
    int line = 1;
    if (n > 0 && text[0] == QChar(0xFEFF))
        i = 1;
    while (i < n) {
        // Start of a record.
        const QChar c0 = text[i];
        if (c0 == QLatin1Char('#')) {   // comment line
            while (i < n && text[i] != QLatin1Char('\n'))
                ++i;
            ++i;
            ++line;
            continue;
        }
        if (c0 == QLatin1Char('\n') || (c0 == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))) {
            i += c0 == QLatin1Char('\r') ? 2 : 1;   // blank line
            ++line;
            continue;
        }
        CsvRecord rec;
        rec.line = line;
        QString cell;
        bool endOfRecord = false;
        while (!endOfRecord) {
            cell.clear();
            if (i < n && text[i] == QLatin1Char('"')) {
                const int startLine = line;
                ++i;
                bool closed = false;
                while (i < n) {
                    const QChar c = text[i];
                    if (c == QLatin1Char('"')) {
                        if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                            cell += QLatin1Char('"');
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (c == QLatin1Char('\n'))
                        ++line;
                    cell += c;
                    ++i;
                }
                if (!closed)
                    csvFail(fileLabel, startLine, QStringLiteral("a quoted value is not closed"));
                if (i < n && text[i] == QLatin1Char('\r'))
                    ++i;
                if (i < n && text[i] != QLatin1Char(',') && text[i] != QLatin1Char('\n'))
                    csvFail(fileLabel, line, QStringLiteral("text follows the closing quote of a value"));
                cell.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            } else {
                while (i < n && text[i] != QLatin1Char(',') && text[i] != QLatin1Char('\n')) {
                    if (text[i] == QLatin1Char('"'))
                        csvFail(fileLabel, line, QStringLiteral("a quote inside an unquoted value"));
                    cell += text[i];
                    ++i;
                }
                if (cell.endsWith(QLatin1Char('\r')))
                    cell.chop(1);
            }
            rec.cells << cell;
            if (i >= n) {
                endOfRecord = true;
            } else if (text[i] == QLatin1Char(',')) {
                ++i;
            } else {   // newline
                ++i;
                ++line;
                endOfRecord = true;
            }
        }
        out << rec;
    }
    return out;
}

// Converts one CSV cell to the stored value of its field; throws on a value
// that does not fit.
QVariant csvValue(const FieldDef& f, const QString& cell, const QString& file, int line)
{
    if (cell.isEmpty())
        return QVariant();
    auto bad = [&](const QString& what) {
        csvFail(file, line, QStringLiteral("field '%1': %2").arg(f.name, what));
    };
    switch (f.type) {
    case FieldType::Text:
        if (cell.size() > f.size)
            bad(QStringLiteral("'%1' is longer than the field's width of %2 characters").arg(cell).arg(f.size));
        return cell;
    case FieldType::Memo:
        return cell;
    case FieldType::Float: {
        static const QLocale strictC = [] {
            QLocale l = QLocale::c();
            l.setNumberOptions(QLocale::RejectGroupSeparator);
            return l;
        }();
        bool ok = false;
        const double d = strictC.toDouble(cell.trimmed(), &ok);
        if (!ok)
            bad(QStringLiteral("'%1' is not a number").arg(cell));
        return d;
    }
    case FieldType::Short: {
        bool ok = false;
        const int v = cell.trimmed().toInt(&ok);
        if (!ok || v < -32768 || v > 32767)
            bad(QStringLiteral("'%1' is not a whole number from -32768 to 32767").arg(cell));
        return v;
    }
    case FieldType::AutoInc: {
        bool ok = false;
        const qlonglong v = cell.trimmed().toLongLong(&ok);
        if (!ok || v < 1 || v > 2147483647LL)
            bad(QStringLiteral("'%1' is not a positive whole number").arg(cell));
        return v;
    }
    case FieldType::Logical:
        if (cell == QLatin1String("T"))
            return 1;
        if (cell == QLatin1String("F"))
            return 0;
        bad(QStringLiteral("'%1' is neither T nor F").arg(cell));
    }
    return QVariant();
}

void loadCsvFile(const QString& path)
{
    const QFileInfo fi(path);
    const QString label = fi.fileName();
    const QString tableName = label.left(label.size() - 4);   // drop ".csv"
    const TableDef* def = findTableDef(tableName);
    if (!def || tableBaseName(tableName) != tableBaseName(def->name))
        csvFail(label, 1, QStringLiteral("there is no table \"%1\"").arg(tableName));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("%1: cannot be read (%2)").arg(label, file.errorString()));
    const QByteArray bytes = file.readAll();
    QStringDecoder dec(QStringDecoder::Utf8);
    const QString text = dec(bytes);
    if (dec.hasError())
        throw DbError(QStringLiteral("%1: the file is not UTF-8 text").arg(label));

    const QList<CsvRecord> records = readCsv(label, text);
    if (records.isEmpty())
        return;   // nothing but comments: an empty table

    const CsvRecord& header = records.first();
    QList<int> columns;
    for (const QString& rawName : header.cells) {
        const QString name = rawName;
        const int fi2 = def->fieldIndex(name);
        if (fi2 < 0)
            csvFail(label, header.line, QStringLiteral("table \"%1\" has no field \"%2\"").arg(def->name, name));
        if (columns.contains(fi2))
            csvFail(label, header.line, QStringLiteral("field \"%1\" is named twice").arg(name));
        columns << fi2;
    }
    QStringList cols, marks;
    for (int c : columns) {
        cols << dbi::quoteId(def->fields[c].name);
        marks << QStringLiteral("?");
    }
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(dbi::quoteId(tableBaseName(def->name)), cols.join(QLatin1String(", ")),
                                 marks.join(QLatin1String(", ")));
    QSqlQuery& q = dbi::query(sql);
    for (int r = 1; r < records.size(); ++r) {
        const CsvRecord& rec = records[r];
        if (rec.cells.size() != columns.size())
            csvFail(label, rec.line, QStringLiteral("%1 values where the header names %2 fields")
                                         .arg(rec.cells.size()).arg(columns.size()));
        for (int c = 0; c < columns.size(); ++c)
            q.bindValue(c, csvValue(def->fields[columns[c]], rec.cells[c], label, rec.line));
        if (!q.exec()) {
            if (dbi::isKeyViolation(q))
                csvFail(label, rec.line, QStringLiteral("key violation (the key of this row is already in the table)"));
            csvFail(label, rec.line, q.lastError().text());
        }
    }
}

void loadDirectory(const QString& dir)
{
    QDir d(dir);
    if (!d.exists())
        return;
    const QStringList files = d.entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
    for (const QString& f : files)
        loadCsvFile(d.filePath(f));
}

bool tableIsEmpty(const QString& base)
{
    QSqlQuery& q = dbi::run(QStringLiteral("SELECT COUNT(*) FROM %1").arg(dbi::quoteId(base)), {});
    const bool empty = q.next() && q.value(0).toLongLong() == 0;
    q.finish();
    return empty;
}

// A new database always has one row in each one-row table. When the shipped
// data hold none, these documented rows are written:
//   "SystemDefaults.db": "ET Method" ANY, carry-over 0 % in spring and fall,
//      no elevation correction, empty password, peak ET method 0 (TR21);
//   "LocalDefaults.db": every field empty but "Sensitive" and "MetricUnits"
//      false (customary units);
//   "Report.db": "ReportNo" 1.
void ensureOneRowTables()
{
    if (tableIsEmpty(QStringLiteral("SystemDefaults")))
        dbi::run(QStringLiteral("INSERT INTO \"SystemDefaults\" (\"ET Method\", \"Spring Carryover %\", "
                                "\"Fall Carryover %\", \"Elevation Correction\", \"Password\", \"Peak ET Method\") "
                                "VALUES ('ANY', 0, 0, 0, NULL, 0)"), {});
    if (tableIsEmpty(QStringLiteral("LocalDefaults")))
        dbi::run(QStringLiteral("INSERT INTO \"LocalDefaults\" (\"Sensitive\", \"MetricUnits\") VALUES (0, 0)"), {});
    if (tableIsEmpty(QStringLiteral("Report")))
        dbi::run(QStringLiteral("INSERT INTO \"Report\" (\"ReportNo\") VALUES (1)"), {});
}

void removeDatabaseFiles(const QString& path)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

void openConnection(const QString& path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open()) {
        const QString err = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(kConnectionName);
        throw DbError(QStringLiteral("The database %1 cannot be opened: %2").arg(path, err));
    }
    const QVariant handle = db.driver()->handle();
    st().native = handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0
                      ? *static_cast<sqlite3* const*>(handle.constData()) : nullptr;
    st().open = true;
    st().path = path;
    // The connection and its statements go before the application does.
    static bool cleanupRegistered = false;
    if (!cleanupRegistered && QCoreApplication::instance()) {
        cleanupRegistered = true;
        qAddPostRoutine([] {
            try {
                Database::close();
            } catch (...) {
            }
        });
    }
}

void dropConnection()
{
    st().statements.clear();
    st().nativeStatements.clear();
    st().native = nullptr;
    {
        QSqlDatabase db = rawConnection();
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(kConnectionName);
    st().open = false;
    st().scratchTxn = false;
    st().userTxn = false;
    st().path.clear();
}

void setPragmas(QSqlDatabase& db)
{
    // WAL with a flush on every commit: a post is on disk when it returns and
    // a crash never leaves a damaged file.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
        throw DbError(q.lastError().text());
    q.finish();
    execOrThrow(db, QStringLiteral("PRAGMA synchronous=FULL"));
}

void createSchema(QSqlDatabase& db)
{
    for (const TableDef& t : schemaTables()) {
        execOrThrow(db, createTableSql(t));
        for (const QString& s : createIndexSql(t))
            execOrThrow(db, s);
    }
    execOrThrow(db, QStringLiteral("CREATE TABLE %1 (\"Version\" INTEGER NOT NULL)").arg(dbi::quoteId(kSchemaTable)));
    execOrThrow(db, QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(dbi::quoteId(kSchemaTable)).arg(kSchemaVersion));
}

int readSchemaVersion(QSqlDatabase& db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT \"Version\" FROM %1").arg(dbi::quoteId(kSchemaTable))) || !q.next())
        return -1;
    return q.value(0).toInt();
}

// Brings an older database up to the current layout: tables missing from it
// are created empty (with their indexes).
void upgrade(QSqlDatabase& db, int fromVersion)
{
    Q_UNUSED(fromVersion);
    execOrThrow(db, QStringLiteral("BEGIN"));
    try {
        for (const TableDef& t : schemaTables()) {
            QSqlQuery q(db);
            q.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=?"));
            q.addBindValue(tableBaseName(t.name));
            q.exec();
            const bool exists = q.next();
            q.finish();
            if (!exists) {
                execOrThrow(db, createTableSql(t));
                for (const QString& s : createIndexSql(t))
                    execOrThrow(db, s);
            }
        }
        execOrThrow(db, QStringLiteral("UPDATE %1 SET \"Version\" = %2").arg(dbi::quoteId(kSchemaTable)).arg(kSchemaVersion));
        execOrThrow(db, QStringLiteral("COMMIT"));
    } catch (...) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

} // namespace

// ---- internal services -----------------------------------------------------------

namespace dbi {

QString quoteId(const QString& identifier)
{
    QString s = identifier;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString sqlTypeName(FieldType t)
{
    switch (t) {
    case FieldType::Text:
    case FieldType::Memo: return QStringLiteral("TEXT");
    case FieldType::Float: return QStringLiteral("REAL");
    case FieldType::Short:
    case FieldType::Logical:
    case FieldType::AutoInc: return QStringLiteral("INTEGER");
    }
    return QStringLiteral("BLOB");
}

QSqlQuery& query(const QString& sql)
{
    if (!st().open)
        Database::open();
    auto& cache = st().statements;
    auto it = cache.find(sql);
    if (it != cache.end())
        return *it->second;
    auto q = std::make_unique<QSqlQuery>(rawConnection());
    q->setForwardOnly(true);
    if (!q->prepare(sql))
        throw DbError(QStringLiteral("Database error: %1\n(%2)").arg(q->lastError().text(), sql));
    QSqlQuery& ref = *q;
    cache.emplace(sql, std::move(q));
    return ref;
}

QSqlQuery& run(const QString& sql, const QVariantList& values)
{
    QSqlQuery& q = query(sql);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec()) {
        if (isKeyViolation(q))
            throw DbError(QStringLiteral("Key violation."));
        throw DbError(QStringLiteral("Database error: %1").arg(q.lastError().text()));
    }
    return q;
}

Stmt::~Stmt() { sqlite3_finalize(m_stmt); }

void Stmt::reset()
{
    if (m_active)
        sqlite3_reset(m_stmt);
    m_active = false;
    m_rowPending = false;
}

void Stmt::bindValue(int index, const QVariant& v)
{
    reset();
    const int i = index + 1;
    if (!v.isValid() || v.isNull()) {
        sqlite3_bind_null(m_stmt, i);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::Bool:
    case QMetaType::Short:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        sqlite3_bind_int64(m_stmt, i, v.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(m_stmt, i, v.toDouble());
        break;
    case QMetaType::QString: {
        const QString* s = static_cast<const QString*>(v.constData());
        sqlite3_bind_text16(m_stmt, i, s->utf16(), int(s->size() * sizeof(QChar)), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QString s = v.toString();
        sqlite3_bind_text16(m_stmt, i, s.utf16(), int(s.size() * sizeof(QChar)), SQLITE_TRANSIENT);
        break;
    }
    }
}

bool Stmt::exec()
{
    reset();
    m_error.clear();
    m_errorCode = 0;
    m_active = true;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        m_rowPending = true;
        return true;
    }
    sqlite3* db = sqlite3_db_handle(m_stmt);
    if (rc == SQLITE_DONE) {
        m_lastInsertId = sqlite3_last_insert_rowid(db);
        reset();
        return true;
    }
    m_errorCode = sqlite3_extended_errcode(db);
    m_error = QString::fromUtf8(sqlite3_errmsg(db));
    reset();
    return false;
}

bool Stmt::next()
{
    if (m_rowPending) {
        m_rowPending = false;
        return true;
    }
    if (!m_active)
        return false;
    if (sqlite3_step(m_stmt) == SQLITE_ROW)
        return true;
    reset();
    return false;
}

QVariant Stmt::value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_NULL: return QVariant();
    case SQLITE_INTEGER: return qlonglong(sqlite3_column_int64(m_stmt, column));
    case SQLITE_FLOAT: return sqlite3_column_double(m_stmt, column);
    default: {
        const void* t = sqlite3_column_text16(m_stmt, column);
        return QString(static_cast<const QChar*>(t), sqlite3_column_bytes16(m_stmt, column) / int(sizeof(QChar)));
    }
    }
}

void Stmt::finish() { reset(); }

bool Stmt::isKeyViolation() const
{
    return m_errorCode == SQLITE_CONSTRAINT_UNIQUE || m_errorCode == SQLITE_CONSTRAINT_PRIMARYKEY
        || m_errorCode == SQLITE_CONSTRAINT || m_error.contains(QLatin1String("UNIQUE constraint failed"));
}

Stmt& stmt(const QString& sql)
{
    if (!st().open)
        Database::open();
    auto& cache = st().nativeStatements;
    auto it = cache.find(sql);
    if (it != cache.end())
        return *it->second;
    if (!st().native)
        throw DbError(QStringLiteral("Database error: no SQLite connection"));
    sqlite3_stmt* s = nullptr;
    const int rc = sqlite3_prepare16_v2(st().native, sql.utf16(), int(sql.size() * sizeof(QChar)), &s, nullptr);
    if (rc != SQLITE_OK) {
        const QString err = QString::fromUtf8(sqlite3_errmsg(st().native));
        sqlite3_finalize(s);
        throw DbError(QStringLiteral("Database error: %1\n(%2)").arg(err, sql));
    }
    auto p = std::make_unique<Stmt>(s);
    Stmt& ref = *p;
    cache.emplace(sql, std::move(p));
    return ref;
}

Stmt& exec(const QString& sql, const QVariantList& values)
{
    Stmt& q = stmt(sql);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec()) {
        if (q.isKeyViolation())
            throw DbError(QStringLiteral("Key violation."));
        throw DbError(QStringLiteral("Database error: %1").arg(q.errorText()));
    }
    return q;
}

bool isKeyViolation(const QSqlQuery& q)
{
    const QSqlError e = q.lastError();
    const QString code = e.nativeErrorCode();
    return code == QLatin1String("2067") || code == QLatin1String("1555") || code == QLatin1String("19")
        || e.text().contains(QLatin1String("UNIQUE constraint failed"));
}

void beginScratchWrite()
{
    // Inside Database::transaction scratch writes join the open transaction.
    if (st().scratchTxn || st().userTxn)
        return;
    if (!st().open)
        Database::open();
    QSqlDatabase db = rawConnection();
    // Scratch rows need no flush of their own: their commit runs without
    // one, and the WAL is flushed by the next durable commit (which keeps the
    // order) or by a checkpoint. The safety level is set outside the
    // transaction, as SQLite requires.
    execOrThrow(db, QStringLiteral("PRAGMA synchronous=NORMAL"));
    execOrThrow(db, QStringLiteral("BEGIN"));
    st().scratchTxn = true;
    // The batch ends at the latest when control returns to the event loop,
    // so other programs are never kept waiting on it.
    if (QCoreApplication::instance())
        QTimer::singleShot(0, QCoreApplication::instance(), [] {
            try {
                commitScratch();
            } catch (const DbError& e) {
                showError(e.message());
            }
        });
}

void commitScratch()
{
    if (!st().scratchTxn)
        return;
    st().scratchTxn = false;
    QSqlDatabase db = rawConnection();
    QSqlQuery q(db);
    const bool ok = q.exec(QStringLiteral("COMMIT"));
    const QString err = q.lastError().text();
    q.finish();
    if (!ok)
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    execOrThrow(db, QStringLiteral("PRAGMA synchronous=FULL"));
    if (!ok)
        throw DbError(QStringLiteral("Database error: %1").arg(err));
}

void beforeDurableWrite(const TableDef& def)
{
    if (def.scratch)
        beginScratchWrite();
    else
        commitScratch();
}

} // namespace dbi

// ---- Database ------------------------------------------------------------------------

QString Database::resolveAlias(const QString& alias)
{
    if (alias.compare(QLatin1String("Quenpm"), Qt::CaseInsensitive) != 0
        && alias.compare(QLatin1String("Quen"), Qt::CaseInsensitive) != 0)
        throw DbError(QStringLiteral("Unknown database alias: %1").arg(alias));
    const QByteArray env = qgetenv("QUENPM_DB");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    // One location for all three programs, whatever their application names:
    // <generic data location>/Quenpm/Quenpm.sqlite.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dir.isEmpty())
        dir = QDir::homePath() + QLatin1String("/.local/share");
    return QDir(dir).filePath(QStringLiteral("Quenpm/Quenpm.sqlite"));
}

void Database::open(const QString& pathIn)
{
    const QString path = QFileInfo(pathIn.isEmpty() ? resolveAlias() : pathIn).absoluteFilePath();
    if (st().open) {
        if (st().path == path)
            return;
        close();
    }
    const QFileInfo fi(path);
    if (!QDir().mkpath(fi.absolutePath()))
        throw DbError(QStringLiteral("The folder %1 cannot be created.").arg(fi.absolutePath()));

    // A missing (or empty) file is a new database.
    const bool fresh = !fi.exists() || fi.size() == 0;
    openConnection(path);
    QSqlDatabase db = rawConnection();
    if (fresh) {
        try {
            setPragmas(db);
            execOrThrow(db, QStringLiteral("BEGIN"));
            createSchema(db);
            loadDirectory(st().dataDir);
            ensureOneRowTables();
            execOrThrow(db, QStringLiteral("COMMIT"));
        } catch (const DbError& e) {
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db = QSqlDatabase();
            dropConnection();
            removeDatabaseFiles(path);
            throw DbError(QStringLiteral("The database %1 could not be created: %2").arg(path, e.message()));
        }
        return;
    }

    try {
        QSqlQuery probe(db);
        if (!probe.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")))
            throw DbError(QStringLiteral("The database %1 is damaged or is not a Quenpm database (%2).")
                              .arg(path, probe.lastError().text()));
        probe.finish();
        const int version = readSchemaVersion(db);
        if (version < 0)
            throw DbError(QStringLiteral("The file %1 is not a Quenpm database.").arg(path));
        if (version > kSchemaVersion)
            throw DbError(QStringLiteral("The database %1 was written by a newer version of Quenpm (layout %2).")
                              .arg(path).arg(version));
        setPragmas(db);
        if (version < kSchemaVersion)
            upgrade(db, version);
    } catch (...) {
        db = QSqlDatabase();
        dropConnection();
        throw;
    }
}

bool Database::isOpen() { return st().open; }

QString Database::path() { return st().path; }

void Database::close()
{
    if (!st().open)
        return;
    // Open handles are closed first: they hold statements of this connection.
    const QList<TTable*> handles = st().handles;
    for (TTable* t : handles)
        if (t->isOpen())
            t->close();
    try {
        dbi::commitScratch();
    } catch (const DbError&) {
    }
    dropConnection();
}

QSqlDatabase Database::connection()
{
    if (!st().open)
        open();
    return rawConnection();
}

void Database::setDataDirectory(const QString& dir) { st().dataDir = dir; }

QString Database::dataDirectory() { return st().dataDir; }

void Database::loadDataDirectory(const QString& dir)
{
    dbi::commitScratch();
    QSqlDatabase db = connection();
    execOrThrow(db, QStringLiteral("BEGIN"));
    try {
        loadDirectory(dir);
        execOrThrow(db, QStringLiteral("COMMIT"));
    } catch (...) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
    for (const TableDef& t : schemaTables())
        notifyTableChanged(tableBaseName(t.name), nullptr);
}

void Database::transaction(const std::function<void()>& work, const QStringList& touched)
{
    if (st().userTxn)
        throw DbError(QStringLiteral("Database error: a transaction is already running."));
    dbi::commitScratch();
    QSqlDatabase db = connection();
    execOrThrow(db, QStringLiteral("BEGIN IMMEDIATE"));
    st().userTxn = true;
    try {
        work();
        st().userTxn = false;
        execOrThrow(db, QStringLiteral("COMMIT"));
    } catch (...) {
        st().userTxn = false;
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        for (const QString& name : touched)
            notifyTableChanged(tableBaseName(name), nullptr);
        throw;
    }
}

int Database::execMarkStatement(const QString& statement, const QString& newValue)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*update\\s+(\\S+)\\s+set\\s+(\\S+?)\\s*=\\s*:\\s*(\\w+)\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(statement);
    if (!m.hasMatch())
        throw DbError(QStringLiteral("Cannot read the statement \"%1\".").arg(statement));
    const TableDef* def = findTableDef(m.captured(1));
    if (!def)
        throw DbError(QStringLiteral("Table '%1' does not exist.").arg(m.captured(1)));
    const int fi = def->fieldIndex(m.captured(2));
    if (fi < 0)
        throw DbError(QStringLiteral("Field '%1' not found in table '%2'.").arg(m.captured(2), def->name));
    if (m.captured(3).compare(QLatin1String("NewValue"), Qt::CaseInsensitive) != 0)
        throw DbError(QStringLiteral("Unknown parameter ':%1'.").arg(m.captured(3)));
    const FieldDef& f = def->fields[fi];
    QVariant v;
    const QString nv = newValue.trimmed();
    if (f.type == FieldType::Logical) {
        if (nv.compare(QLatin1String("T"), Qt::CaseInsensitive) == 0 || nv.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            v = 1;
        else if (nv.compare(QLatin1String("F"), Qt::CaseInsensitive) == 0 || nv.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            v = 0;
        else
            throw DbError(QStringLiteral("'%1' is not a valid value for field '%2'.").arg(newValue, f.name));
    } else {
        v = newValue;
    }
    dbi::beforeDurableWrite(*def);
    const QString base = tableBaseName(def->name);
    QSqlQuery& q = dbi::run(QStringLiteral("UPDATE %1 SET %2 = ?").arg(dbi::quoteId(base), dbi::quoteId(f.name)), {v});
    const int n = q.numRowsAffected();
    q.finish();
    notifyTableChanged(base, nullptr);
    return n;
}

int Database::schemaVersion()
{
    QSqlDatabase db = connection();
    return readSchemaVersion(db);
}

void Database::registerHandle(TTable* t)
{
    if (!st().handles.contains(t))
        st().handles.append(t);
}

void Database::unregisterHandle(TTable* t) { st().handles.removeAll(t); }

void Database::notifyTableChanged(const QString& baseName, TTable* source)
{
    const QList<TTable*> handles = st().handles;
    // Handles name their table in any spelling of its base name; a known
    // table is matched by its definition without building names.
    const TableDef* def = findTableDef(baseName);
    for (TTable* t : handles) {
        if (t == source || !t->isOpen() || t->state() != TTable::State::Browse)
            continue;
        if (def ? &t->definition() == def : tableBaseName(t->tableName()) == baseName)
            t->refresh();
    }
}

int TMarkQuery::execSQL() { return Database::execMarkStatement(sqlText(), m_newValue); }

} // namespace quen
