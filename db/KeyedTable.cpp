#include "KeyedTable.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <vector>

#include "DbInternal.h"
#include "Table.h"

namespace quen::dbi {

namespace {

// One value as SQLite holds it: empty, whole number, number, or text/blob
// (kept in the table's text pool).
struct Cell {
    int type = SQLITE_NULL;
    union {
        sqlite3_int64 i;
        double d;
        std::size_t text;
    };
    Cell() : i(0) {}
};

struct Texts {
    std::vector<std::string> pool;
};

} // namespace

// The rows, sorted by key, each of nCol cells; the key is also the rowid.
class KeyedRows {
public:
    sqlite3* db = nullptr;
    std::string name;                     // table name, for messages
    std::vector<std::string> columnNames; // for messages
    std::vector<bool> integerColumn;      // INTEGER affinity (else REAL)
    int nCol = 0;
    int keyCol = 0;
    std::vector<Cell> cells;              // row r at cells[r * nCol]
    std::vector<std::string> texts;       // text and blob values
    quint64 version = 0;                  // changes with every write: cursors find their place again

    // Transaction state: copies of the rows as they were when the
    // transaction and each open savepoint began, taken at the first write
    // after it began (none yet: nothing written since).
    bool inTransaction = false;
    std::shared_ptr<const std::vector<Cell>> atBegin;
    std::vector<std::shared_ptr<const std::vector<Cell>>> atSavepoint;

    std::size_t rowCount() const { return nCol ? cells.size() / nCol : 0; }
    sqlite3_int64 keyAt(std::size_t r) const { return cells[r * nCol + keyCol].i; }

    // First row whose key is not below k.
    std::size_t lowerBound(sqlite3_int64 k) const
    {
        std::size_t lo = 0, hi = rowCount();
        while (lo < hi) {
            const std::size_t mid = (lo + hi) / 2;
            if (keyAt(mid) < k)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    }
    bool find(sqlite3_int64 k, std::size_t* at) const
    {
        *at = lowerBound(k);
        return *at < rowCount() && keyAt(*at) == k;
    }

    // Called before every change: keeps the state the open transaction and
    // savepoints would return to.
    void beforeChange()
    {
        ++version;
        std::shared_ptr<const std::vector<Cell>> copy;
        auto take = [&] {
            if (!copy)
                copy = std::make_shared<const std::vector<Cell>>(cells);
            return copy;
        };
        if (inTransaction && !atBegin)
            atBegin = take();
        for (auto& s : atSavepoint)
            if (!s)
                s = take();
    }
    void restore(const std::shared_ptr<const std::vector<Cell>>& to)
    {
        ++version;
        cells = *to;
    }
    void endTransaction()
    {
        inTransaction = false;
        atBegin.reset();
        atSavepoint.clear();
    }
};

namespace {

// Connections with keyed tables: their tables by name (the bulk operations find them here).
std::map<sqlite3*, QHash<QString, KeyedRows*>>& registry()
{
    static std::map<sqlite3*, QHash<QString, KeyedRows*>> r;
    return r;
}

// The table as SQLite holds it.
struct VTab {
    sqlite3_vtab base{};
    KeyedRows* rows = nullptr;
};

KeyedRows* rowsOf(sqlite3_vtab* v) { return reinterpret_cast<VTab*>(v)->rows; }

int fail(sqlite3_vtab* v, int rc, const std::string& msg)
{
    sqlite3_free(v->zErrMsg);
    v->zErrMsg = sqlite3_mprintf("%s", msg.c_str());
    return rc;
}

// Name of a column definition ("\"JDate\" INTEGER" -> JDate).
std::string columnName(const std::string& def)
{
    std::size_t i = def.find_first_not_of(' ');
    if (i == std::string::npos)
        return {};
    if (def[i] == '"') {
        std::string out;
        for (std::size_t k = i + 1; k < def.size(); ++k) {
            if (def[k] == '"') {
                if (k + 1 < def.size() && def[k + 1] == '"') {
                    out += '"';
                    ++k;
                    continue;
                }
                break;
            }
            out += def[k];
        }
        return out;
    }
    const std::size_t e = def.find(' ', i);
    return def.substr(i, e == std::string::npos ? std::string::npos : e - i);
}

// Module arguments: the key column's position, then "name TYPE" per column.
int xConnect(sqlite3* db, void*, int argc, const char* const* argv, sqlite3_vtab** out, char** err)
{
    if (argc < 5) {
        *err = sqlite3_mprintf("keyed table: no columns");
        return SQLITE_ERROR;
    }
    auto t = std::make_unique<KeyedRows>();
    t->db = db;
    t->name = argv[2];
    t->keyCol = std::atoi(argv[3]);
    std::string decl = "CREATE TABLE x(";
    for (int k = 4; k < argc; ++k) {
        const std::string def = argv[k];
        if (k > 4)
            decl += ", ";
        decl += def;
        t->columnNames.push_back(columnName(def));
        t->integerColumn.push_back(def.find(" INTEGER") != std::string::npos);
    }
    decl += ")";
    t->nCol = argc - 4;
    if (t->keyCol < 0 || t->keyCol >= t->nCol || !t->integerColumn[t->keyCol]) {
        *err = sqlite3_mprintf("keyed table: bad key column");
        return SQLITE_ERROR;
    }
    const int rc = sqlite3_declare_vtab(db, decl.c_str());
    if (rc != SQLITE_OK)
        return rc;
    auto vt = std::make_unique<VTab>();
    vt->rows = t.release();
    registry()[db].insert(QString::fromStdString(vt->rows->name), vt->rows);
    *out = &vt.release()->base;
    return SQLITE_OK;
}

int xDisconnect(sqlite3_vtab* v)
{
    KeyedRows* t = rowsOf(v);
    auto it = registry().find(t->db);
    if (it != registry().end()) {
        it->second.remove(QString::fromStdString(t->name));
        if (it->second.isEmpty())
            registry().erase(it);
    }
    sqlite3_free(v->zErrMsg);
    delete t;
    delete reinterpret_cast<VTab*>(v);
    return SQLITE_OK;
}

// idxNum: which bounds come as arguments (in this order) and the direction.
enum : int { kEq = 1, kGt = 2, kGe = 4, kLt = 8, kLe = 16, kDesc = 32 };

int xBestIndex(sqlite3_vtab* v, sqlite3_index_info* info)
{
    const KeyedRows* t = rowsOf(v);
    int eq = -1, lower = -1, upper = -1, lowerOp = 0, upperOp = 0;
    for (int c = 0; c < info->nConstraint; ++c) {
        const auto& k = info->aConstraint[c];
        if (!k.usable || (k.iColumn != -1 && k.iColumn != t->keyCol))
            continue;
        switch (k.op) {
        case SQLITE_INDEX_CONSTRAINT_EQ:
            if (eq < 0)
                eq = c;
            break;
        case SQLITE_INDEX_CONSTRAINT_GT:
        case SQLITE_INDEX_CONSTRAINT_GE:
            if (lower < 0) {
                lower = c;
                lowerOp = k.op == SQLITE_INDEX_CONSTRAINT_GT ? kGt : kGe;
            }
            break;
        case SQLITE_INDEX_CONSTRAINT_LT:
        case SQLITE_INDEX_CONSTRAINT_LE:
            if (upper < 0) {
                upper = c;
                upperOp = k.op == SQLITE_INDEX_CONSTRAINT_LT ? kLt : kLe;
            }
            break;
        default: break;
        }
    }
    // SQLite checks every constraint again (omit stays 0): the bounds only
    // narrow the rows walked.
    int idx = 0, arg = 0;
    const double n = double(std::max<std::size_t>(t->rowCount(), 1));
    if (eq >= 0) {
        idx = kEq;
        info->aConstraintUsage[eq].argvIndex = ++arg;
        info->estimatedCost = 1.0;
        info->estimatedRows = 1;
        info->idxFlags = SQLITE_INDEX_SCAN_UNIQUE;
    } else {
        if (lower >= 0) {
            idx |= lowerOp;
            info->aConstraintUsage[lower].argvIndex = ++arg;
        }
        if (upper >= 0) {
            idx |= upperOp;
            info->aConstraintUsage[upper].argvIndex = ++arg;
        }
        const double share = (lower >= 0 && upper >= 0) ? 0.25 : (lower >= 0 || upper >= 0) ? 0.5 : 1.0;
        info->estimatedCost = 2.0 + n * share;
        info->estimatedRows = sqlite3_int64(n * share) + 1;
    }
    // Rows come in key order, either way: an ORDER BY of the key and the
    // rowid in one direction needs no sort.
    if (info->nOrderBy > 0) {
        bool consumed = true;
        const bool desc = info->aOrderBy[0].desc;
        for (int k = 0; k < info->nOrderBy; ++k) {
            const auto& o = info->aOrderBy[k];
            if ((o.iColumn != -1 && o.iColumn != t->keyCol) || bool(o.desc) != desc)
                consumed = false;
        }
        if (consumed) {
            info->orderByConsumed = 1;
            if (desc)
                idx |= kDesc;
        }
    }
    info->idxNum = idx;
    return SQLITE_OK;
}

struct Cursor {
    sqlite3_vtab_cursor base{};
    bool desc = false;
    bool eof = true;
    std::size_t at = 0;          // row position while version is unchanged
    quint64 version = 0;
    sqlite3_int64 key = 0;       // key of the current row
    // Bounds of the keys walked, inclusive.
    sqlite3_int64 lo = 0, hi = 0;
};

int xOpen(sqlite3_vtab*, sqlite3_vtab_cursor** out)
{
    *out = &(new Cursor)->base;
    return SQLITE_OK;
}

int xClose(sqlite3_vtab_cursor* c)
{
    delete reinterpret_cast<Cursor*>(c);
    return SQLITE_OK;
}

// Narrows [lo, hi] by "key op value"; false when no key can satisfy it.
// A value that is not a number leaves the bounds as they are (SQLite
// checks it on every row).
bool narrow(sqlite3_value* v, int op, sqlite3_int64& lo, sqlite3_int64& hi)
{
    const int type = sqlite3_value_numeric_type(v);
    if (type == SQLITE_NULL)
        return false;   // a comparison with an empty value is never true
    if (type != SQLITE_INTEGER && type != SQLITE_FLOAT)
        return true;
    const double x = sqlite3_value_double(v);
    if (std::isnan(x))
        return false;
    // Bounds in whole numbers; values beyond the 64-bit range leave that side open.
    const double limit = 9.0e18;
    auto setLo = [&](double b) {
        if (b > limit)
            lo = hi + 1;
        else if (b > -limit)
            lo = std::max(lo, sqlite3_int64(b));
    };
    auto setHi = [&](double b) {
        if (b < -limit)
            hi = lo - 1;
        else if (b < limit)
            hi = std::min(hi, sqlite3_int64(b));
    };
    const bool whole = type == SQLITE_INTEGER;
    const sqlite3_int64 xi = whole ? sqlite3_value_int64(v) : 0;
    switch (op) {
    case kEq:
        if (whole) {
            lo = std::max(lo, xi);
            hi = std::min(hi, xi);
        } else {
            if (x != std::floor(x))
                return false;
            setLo(x);
            setHi(x);
        }
        break;
    case kGt:
        if (whole) {
            if (xi == INT64_MAX)
                return false;
            lo = std::max(lo, xi + 1);
        } else {
            setLo(std::floor(x) + 1.0);
        }
        break;
    case kGe:
        if (whole)
            lo = std::max(lo, xi);
        else
            setLo(std::ceil(x));
        break;
    case kLt:
        if (whole) {
            if (xi == INT64_MIN)
                return false;
            hi = std::min(hi, xi - 1);
        } else {
            setHi(std::ceil(x) - 1.0);
        }
        break;
    case kLe:
        if (whole)
            hi = std::min(hi, xi);
        else
            setHi(std::floor(x));
        break;
    default: break;
    }
    return lo <= hi;
}

// Places the cursor on the first row in its direction from position p on.
void settle(Cursor* c, const KeyedRows* t, std::size_t p, bool forwardFromP)
{
    c->version = t->version;
    const std::size_t n = t->rowCount();
    if (!c->desc) {
        c->at = p;
        c->eof = p >= n || t->keyAt(p) > c->hi;
    } else {
        // p: one past the row wanted when not forwardFromP.
        if (forwardFromP)
            p = p + 1;
        c->eof = p == 0 || t->keyAt(p - 1) < c->lo;
        c->at = p == 0 ? 0 : p - 1;
    }
    if (!c->eof)
        c->key = t->keyAt(c->at);
}

int xFilter(sqlite3_vtab_cursor* cur, int idx, const char*, int argc, sqlite3_value** argv)
{
    Cursor* c = reinterpret_cast<Cursor*>(cur);
    const KeyedRows* t = rowsOf(cur->pVtab);
    c->desc = idx & kDesc;
    c->lo = INT64_MIN;
    c->hi = INT64_MAX;
    int a = 0;
    bool any = true;
    for (int op : {kEq, kGt, kGe, kLt, kLe})
        if ((idx & op) && a < argc)
            any = narrow(argv[a++], op, c->lo, c->hi) && any;
    if (!any) {
        c->eof = true;
        return SQLITE_OK;
    }
    if (!c->desc)
        settle(c, t, t->lowerBound(c->lo), true);
    else
        settle(c, t, c->hi == INT64_MAX ? t->rowCount() : t->lowerBound(c->hi + 1), false);
    return SQLITE_OK;
}

int xNext(sqlite3_vtab_cursor* cur)
{
    Cursor* c = reinterpret_cast<Cursor*>(cur);
    const KeyedRows* t = rowsOf(cur->pVtab);
    if (c->eof)
        return SQLITE_OK;
    // The rows changed under the cursor: find its place again by its key.
    if (c->version != t->version) {
        if (!c->desc)
            settle(c, t, c->key == INT64_MAX ? t->rowCount() : t->lowerBound(c->key + 1), true);
        else
            settle(c, t, t->lowerBound(c->key), false);
        return SQLITE_OK;
    }
    if (!c->desc)
        settle(c, t, c->at + 1, true);
    else
        settle(c, t, c->at, false);
    return SQLITE_OK;
}

int xEof(sqlite3_vtab_cursor* cur) { return reinterpret_cast<Cursor*>(cur)->eof; }

int xColumn(sqlite3_vtab_cursor* cur, sqlite3_context* ctx, int col)
{
    Cursor* c = reinterpret_cast<Cursor*>(cur);
    const KeyedRows* t = rowsOf(cur->pVtab);
    std::size_t at = c->at;
    if (c->version != t->version && !t->find(c->key, &at))
        return SQLITE_OK;   // the row is gone: NULL
    const Cell& v = t->cells[at * t->nCol + col];
    switch (v.type) {
    case SQLITE_INTEGER: sqlite3_result_int64(ctx, v.i); break;
    case SQLITE_FLOAT: sqlite3_result_double(ctx, v.d); break;
    case SQLITE_TEXT: {
        const std::string& s = t->texts[v.text];
        sqlite3_result_text(ctx, s.data(), int(s.size()), SQLITE_TRANSIENT);
        break;
    }
    case SQLITE_BLOB: {
        const std::string& s = t->texts[v.text];
        sqlite3_result_blob(ctx, s.data(), int(s.size()), SQLITE_TRANSIENT);
        break;
    }
    default: break;
    }
    return SQLITE_OK;
}

int xRowid(sqlite3_vtab_cursor* cur, sqlite3_int64* rowid)
{
    *rowid = reinterpret_cast<Cursor*>(cur)->key;
    return SQLITE_OK;
}

// A value stored in a column, with the column's affinity applied as SQLite
// applies it to a table column (INTEGER or REAL).
Cell toCell(KeyedRows* t, int col, sqlite3_value* v)
{
    Cell c;
    const int type = sqlite3_value_numeric_type(v);
    switch (type) {
    case SQLITE_INTEGER:
        if (t->integerColumn[col]) {
            c.type = SQLITE_INTEGER;
            c.i = sqlite3_value_int64(v);
        } else {
            c.type = SQLITE_FLOAT;
            c.d = double(sqlite3_value_int64(v));
        }
        break;
    case SQLITE_FLOAT: {
        const double d = sqlite3_value_double(v);
        if (t->integerColumn[col] && d == std::floor(d) && std::fabs(d) < 9.0e18) {
            c.type = SQLITE_INTEGER;
            c.i = sqlite3_int64(d);
        } else {
            c.type = SQLITE_FLOAT;
            c.d = d;
        }
        break;
    }
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
        c.type = type;
        const void* p = type == SQLITE_TEXT ? static_cast<const void*>(sqlite3_value_text(v)) : sqlite3_value_blob(v);
        const int n = sqlite3_value_bytes(v);
        c.text = t->texts.size();
        t->texts.emplace_back(static_cast<const char*>(p), std::size_t(n));
        break;
    }
    default: break;
    }
    return c;
}

std::string keyName(const KeyedRows* t) { return t->name + "." + t->columnNames[t->keyCol]; }

int xUpdate(sqlite3_vtab* v, int argc, sqlite3_value** argv, sqlite3_int64* rowid)
{
    KeyedRows* t = rowsOf(v);
    std::size_t at = 0;
    if (argc == 1) {   // delete
        if (t->find(sqlite3_value_int64(argv[0]), &at)) {
            t->beforeChange();
            t->cells.erase(t->cells.begin() + std::ptrdiff_t(at * t->nCol),
                           t->cells.begin() + std::ptrdiff_t((at + 1) * t->nCol));
        }
        return SQLITE_OK;
    }
    const bool insert = sqlite3_value_type(argv[0]) == SQLITE_NULL;
    std::vector<Cell> row(static_cast<std::size_t>(t->nCol));
    const std::size_t textsBefore = t->texts.size();
    for (int k = 0; k < t->nCol; ++k)
        row[std::size_t(k)] = toCell(t, k, argv[2 + k]);
    auto refuse = [&](int rc, const std::string& msg) {
        t->texts.resize(textsBefore);
        return fail(v, rc, msg);
    };
    Cell& key = row[std::size_t(t->keyCol)];
    // The key is the rowid: a rowid given instead of the key stands for it.
    if (key.type == SQLITE_NULL && sqlite3_value_type(argv[1]) != SQLITE_NULL) {
        key.type = SQLITE_INTEGER;
        key.i = sqlite3_value_int64(argv[1]);
    }
    if (key.type == SQLITE_NULL)
        return refuse(SQLITE_CONSTRAINT_NOTNULL, "NOT NULL constraint failed: " + keyName(t));
    if (key.type != SQLITE_INTEGER)
        return refuse(SQLITE_MISMATCH, "datatype mismatch");
    if (sqlite3_value_type(argv[1]) != SQLITE_NULL && sqlite3_value_numeric_type(argv[1]) == SQLITE_INTEGER
        && sqlite3_value_int64(argv[1]) != key.i && (insert || sqlite3_value_int64(argv[1]) != sqlite3_value_int64(argv[0])))
        return refuse(SQLITE_MISMATCH, "datatype mismatch");
    const sqlite3_int64 newKey = key.i;
    std::size_t old = 0;
    const bool hasOld = !insert && t->find(sqlite3_value_int64(argv[0]), &old);
    if (!insert && !hasOld)
        return SQLITE_OK;
    if ((insert || t->keyAt(old) != newKey) && t->find(newKey, &at))
        return refuse(SQLITE_CONSTRAINT_PRIMARYKEY, "UNIQUE constraint failed: " + keyName(t));
    t->beforeChange();
    if (hasOld && t->keyAt(old) == newKey) {
        std::copy(row.begin(), row.end(), t->cells.begin() + std::ptrdiff_t(old * t->nCol));
    } else {
        if (hasOld)
            t->cells.erase(t->cells.begin() + std::ptrdiff_t(old * t->nCol),
                           t->cells.begin() + std::ptrdiff_t((old + 1) * t->nCol));
        at = t->lowerBound(newKey);
        t->cells.insert(t->cells.begin() + std::ptrdiff_t(at * t->nCol), row.begin(), row.end());
    }
    *rowid = newKey;
    return SQLITE_OK;
}

int xBegin(sqlite3_vtab* v)
{
    KeyedRows* t = rowsOf(v);
    t->endTransaction();
    t->inTransaction = true;
    return SQLITE_OK;
}

int xSync(sqlite3_vtab*) { return SQLITE_OK; }

int xCommit(sqlite3_vtab* v)
{
    rowsOf(v)->endTransaction();
    return SQLITE_OK;
}

int xRollback(sqlite3_vtab* v)
{
    KeyedRows* t = rowsOf(v);
    if (t->atBegin)
        t->restore(t->atBegin);
    t->endTransaction();
    return SQLITE_OK;
}

int xSavepoint(sqlite3_vtab* v, int i)
{
    KeyedRows* t = rowsOf(v);
    if (i < 0)
        return SQLITE_OK;
    t->atSavepoint.resize(std::size_t(i));   // levels from i on begin again
    t->atSavepoint.resize(std::size_t(i) + 1);
    return SQLITE_OK;
}

int xRelease(sqlite3_vtab* v, int i)
{
    KeyedRows* t = rowsOf(v);
    if (i >= 0 && std::size_t(i) < t->atSavepoint.size())
        t->atSavepoint.resize(std::size_t(i));
    return SQLITE_OK;
}

int xRollbackTo(sqlite3_vtab* v, int i)
{
    KeyedRows* t = rowsOf(v);
    if (i < 0 || std::size_t(i) >= t->atSavepoint.size())
        return SQLITE_OK;
    if (t->atSavepoint[std::size_t(i)])
        t->restore(t->atSavepoint[std::size_t(i)]);
    t->atSavepoint.resize(std::size_t(i) + 1);   // level i stays open
    return SQLITE_OK;
}

sqlite3_module& keyedModule()
{
    static sqlite3_module m = [] {
        sqlite3_module x{};
        x.iVersion = 2;
        x.xCreate = xConnect;
        x.xConnect = xConnect;
        x.xBestIndex = xBestIndex;
        x.xDisconnect = xDisconnect;
        x.xDestroy = xDisconnect;
        x.xOpen = xOpen;
        x.xClose = xClose;
        x.xFilter = xFilter;
        x.xNext = xNext;
        x.xEof = xEof;
        x.xColumn = xColumn;
        x.xRowid = xRowid;
        x.xUpdate = xUpdate;
        x.xBegin = xBegin;
        x.xSync = xSync;
        x.xCommit = xCommit;
        x.xRollback = xRollback;
        x.xSavepoint = xSavepoint;
        x.xRelease = xRelease;
        x.xRollbackTo = xRollbackTo;
        return x;
    }();
    return m;
}

} // namespace

bool isKeyedTable(const TableDef& t)
{
    if (!t.scratch || t.rowKeyField() < 0 || !t.indexes.isEmpty())
        return false;
    for (const FieldDef& f : t.fields)
        if (f.type != FieldType::Float && f.type != FieldType::Short && f.type != FieldType::Logical)
            return false;
    return true;
}

void registerKeyedTables(sqlite3* db)
{
    if (sqlite3_create_module_v2(db, "quen_keyed", &keyedModule(), nullptr, nullptr) != SQLITE_OK)
        throw DbError(QStringLiteral("The working tables cannot be created: %1").arg(QString::fromUtf8(sqlite3_errmsg(db))));
}

QString createKeyedTableSql(const TableDef& t)
{
    QStringList args{QString::number(t.rowKeyField())};
    for (const FieldDef& f : t.fields)
        args << quoteId(f.name) + (f.type == FieldType::Float ? QLatin1String(" REAL") : QLatin1String(" INTEGER"));
    return QStringLiteral("CREATE VIRTUAL TABLE %1 USING quen_keyed(%2)")
        .arg(quoteId(tableBaseName(t.name)), args.join(QLatin1String(", ")));
}

KeyedRows* keyedRowsForBulk(const TableDef& def)
{
    if (!isKeyedTable(def))
        return nullptr;
    auto it = registry().find(scratchConnection());
    if (it == registry().end())
        return nullptr;
    KeyedRows* t = it->second.value(tableBaseName(def.name), nullptr);
    return t && t->inTransaction ? t : nullptr;
}

void keyedClear(KeyedRows& t)
{
    if (t.cells.empty())
        return;
    t.beforeChange();
    // Texts stay: a rollback may bring back rows that use them.
    t.cells.clear();
}

bool keyedAppend(KeyedRows& t, const TableDef& def, const int* fields, const double* const* columns, int fieldCount,
                 const int* zeroFields, int zeroCount, int rowCount, std::int64_t* lastKey)
{
    if (rowCount <= 0)
        return true;
    const int nCol = t.nCol;
    // The new rows, built apart: nothing changes when one is refused.
    std::vector<Cell> rows(static_cast<std::size_t>(rowCount) * static_cast<std::size_t>(nCol));
    auto set = [&](int col, int r, double value) {
        Cell& c = rows[std::size_t(r) * nCol + col];
        switch (def.fields[col].type) {
        case FieldType::Short:
            c.type = SQLITE_INTEGER;
            c.i = std::llround(value);
            break;
        case FieldType::Logical:
            c.type = SQLITE_INTEGER;
            c.i = value != 0.0 ? 1 : 0;
            break;
        default:
            c.type = SQLITE_FLOAT;
            c.d = value;
            break;
        }
    };
    for (int k = 0; k < fieldCount; ++k) {
        const double* col = columns[k];
        for (int r = 0; r < rowCount; ++r)
            set(fields[k], r, col ? col[r] : 0.0);
    }
    for (int k = 0; k < zeroCount; ++k)
        for (int r = 0; r < rowCount; ++r) {
            Cell& c = rows[std::size_t(r) * nCol + zeroFields[k]];
            c.type = SQLITE_INTEGER;
            c.i = 0;
        }
    const int kc = t.keyCol;
    auto keyOf = [&](int r) { return rows[std::size_t(r) * nCol + kc]; };
    // Keys: given, not in the table, not twice among the new rows. Rows in
    // rising key order past the table's last key (a refill) go at the end.
    bool ascending = true;
    for (int r = 0; r < rowCount; ++r) {
        const Cell k = keyOf(r);
        if (k.type != SQLITE_INTEGER)
            return false;
        if (r > 0 && k.i <= keyOf(r - 1).i)
            ascending = false;
    }
    const std::size_t n = t.rowCount();
    if (ascending && (n == 0 || keyOf(0).i > t.keyAt(n - 1))) {
        t.beforeChange();
        t.cells.insert(t.cells.end(), rows.begin(), rows.end());
    } else {
        std::vector<sqlite3_int64> keys(static_cast<std::size_t>(rowCount));
        for (int r = 0; r < rowCount; ++r)
            keys[std::size_t(r)] = keyOf(r).i;
        std::sort(keys.begin(), keys.end());
        std::size_t at = 0;
        for (std::size_t r = 0; r < keys.size(); ++r)
            if ((r > 0 && keys[r] == keys[r - 1]) || t.find(keys[r], &at))
                return false;
        t.beforeChange();
        for (int r = 0; r < rowCount; ++r) {
            at = t.lowerBound(keyOf(r).i);
            t.cells.insert(t.cells.begin() + std::ptrdiff_t(at * nCol), rows.begin() + std::ptrdiff_t(r * nCol),
                           rows.begin() + std::ptrdiff_t((r + 1) * nCol));
        }
    }
    *lastKey = keyOf(rowCount - 1).i;
    return true;
}

} // namespace quen::dbi
