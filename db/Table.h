// TTable: a handle on one table of the shared database.
//
// A handle is created closed. The code that needs a table names it, picks an
// index, opens it, moves over it and reads or changes the current row, then
// closes it again. The semantics follow the desktop-table interface the
// programs were designed around:
//
//  * Order: the current index (setIndexName); the empty name is the primary
//    key, or insertion order for a table without one. Indexes declared
//    case-insensitive order and compare without case.
//  * findKey: exact match of the whole key on the current index; true and
//    positioned when found, false and the position unchanged otherwise
//    (fewer values than the index has fields match on those fields).
//  * findNearest: positions on the first row whose key is equal to or after
//    the given (possibly partial) key in the index order; past the last key it
//    lands on the last row; it never fails (on an empty table nothing moves).
//  * locate: first row whose field equals the value exactly (case-sensitive).
//  * Ranges (setRange) restrict the rows to keys within [start, end] of the
//    current index (bounds included; the handle must be open); filters
//    restrict by filter text ("County = 'x'", see setFilter; text compares
//    with case, '' matches empty fields) and by a per-row predicate, both only
//    while filtered is on. An empty field sorts before every value.
//  * eof() is true after next() failed to move past the last visible row, or
//    on an empty view; bof() likewise for prior() before the first. As in the
//    desktop-table interface, first() sets bof() and last() sets eof().
//  * Edits: edit()/append()/insert() start a pending row; field setters
//    write into it; post() stores it (throws DbError and stays in edit when a
//    required field is empty or the key is a duplicate); cancel() drops it.
//    Moving while a row is pending posts it first; close() drops a pending
//    row (windows post before they close). edit() on an empty view starts a
//    new row. An empty text is stored as an empty field. A required logical
//    field starts false on a new row.
//  * A post of a table that holds user data is durable when post returns.
//    Scratch tables ("QuenWkCrop.DB", "ETKc.db", "StationList.db",
//    "DownloadCounty.DB") belong to the program run: they live in its private
//    in-memory database, start empty at every Database::open, are seen by no
//    other program and are never written to disk or to the server.
//  * Reads cost as few statements as the semantics allow: open() and first()
//    read the first row only when something needs it (eof, a field, next,
//    recNo, edit...), and each move or search reads the whole row it lands
//    on, so open, findNearest (or findKey), field reads and close are one
//    statement. Signals are emitted as if the row had been read at once.
//
// Errors (unknown table, field or index, a table not open, a field written
// outside edit) throw quen::DbError, whose what() is a message fit for the
// user; windows let it reach the event loop, which shows it.
#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>
#include <stdexcept>

#include "DbError.h"
#include "Schema.h"

namespace quen {

class TTable;

// Proxy for one field of a handle's current (or pending) row. Cheap to copy;
// valid while the handle lives.
class TField {
public:
    TField(TTable* table, int index) : m_table(table), m_index(index) {}

    QString name() const;
    FieldType type() const;
    int size() const;
    int index() const { return m_index; }

    bool isNull() const;          // empty field: distinct from 0 and from ""
    QVariant value() const;       // null QVariant when empty
    QString asString() const;     // "" when empty; floats in general format
    int asInteger() const;        // 0 when empty
    double asFloat() const;       // 0.0 when empty
    bool asBoolean() const;       // false when empty

    // Setters need the handle in edit or insert state. Text longer than the
    // field's width is cut to the width without a message. An AutoInc field
    // cannot be written.
    void setValue(const QVariant& v);
    void setAsString(const QString& v);
    void setAsInteger(int v);
    void setAsFloat(double v);
    void setAsBoolean(bool v);
    void clear();                 // make the field empty

private:
    TTable* m_table;
    int m_index;
};

class TTable : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit TTable(QObject* parent = nullptr);
    TTable(const QString& tableName, QObject* parent = nullptr);
    ~TTable() override;

    // Database name: the alias "Quenpm" (default) or "Quen" (the bar report's
    // "Report.db"); both resolve to the same database location.
    void setDatabaseName(const QString& name);
    QString databaseName() const;

    // Table name as the programs write it; may be changed only while closed.
    void setTableName(const QString& name);
    QString tableName() const;
    const TableDef& definition() const;   // throws DbError when the name is unknown

    // Current index by name ("" = primary key / natural order). May be set
    // while open: the position is kept on the same row where possible.
    void setIndexName(const QString& name);
    QString indexName() const;

    void open();
    void close();
    bool isOpen() const;
    void setActive(bool active) { active ? open() : close(); }
    State state() const;

    // Navigation over the visible rows (range and filters applied).
    void first();
    void next();
    void prior();
    void last();
    bool eof() const;
    bool bof() const;
    int recordCount() const;
    bool isEmpty() const;
    int recNo() const;            // 1-based position in the visible rows; 0 when none

    bool findKey(const QVariantList& key);
    void findNearest(const QVariantList& key);
    bool locate(const QString& fieldName, const QVariant& value);

    // Key range on the current index. Keys may be partial (fewer values than
    // the index has fields). Cleared by cancelRange or a change of index.
    void setRange(const QVariantList& startKey, const QVariantList& endKey);
    void cancelRange();

    // Filter text: conditions "Field = 'text'" or "Field = number" joined by
    // "and". A quoted value is taken as literal text up to its closing quote;
    // a quote inside it is written doubled (''), and an undoubled quote
    // inside a value is taken literally as well, so a county name such as
    // "O'Brien, IA" in "County = 'O'Brien, IA'" matches that county and
    // never breaks the filter. The text applies only while filtered is on.
    void setFilter(const QString& filterText);
    QString filter() const;
    void setFiltered(bool on);
    bool filtered() const;
    // Per-row predicate, evaluated on the row as the current row; applies
    // only while filtered is on. Pass an empty function to remove it.
    void setOnFilterRecord(std::function<bool(TTable&)> accept);

    // Editing.
    void append();                // new pending row (state Insert)
    void insert() { append(); }
    void edit();                  // pending change of the current row (state Edit)
    void post();                  // store pending row; throws DbError, stays in edit on refusal
    void cancel();                // drop pending changes
    void remove();                // delete the current row (Delphi: Delete)
    // One new row from values in field order (missing or null values leave
    // the field empty; AutoInc positions are skipped), posted at once.
    void appendRecord(const QVariantList& values);
    void insertRecord(const QVariantList& values) { appendRecord(values); }
    // Many new rows, each as appendRecord takes it, stored together: all of
    // them or, when a value, a required field or a key refuses one, none
    // (throws DbError). A pending row is posted first. The handle ends on
    // the last new row; afterPost and dataChanged(-1) are emitted once and
    // other handles of the table are refreshed once.
    void appendRows(const QList<QVariantList>& rows);
    // Many new rows of numbers given column by column, stored as appendRows
    // stores them: row r holds columns[k][r] in the field at position
    // fields[k] (a short is rounded, a logical is true when not 0) and
    // leaves every other field empty (a required logical one false). Text
    // and AutoInc fields cannot be given. A null column stands for 0 in
    // every row (written into the statement text, not bound row by row).
    // For the daily tables of a crop run: values are bound as numbers,
    // without a QVariant per value.
    void appendColumns(const QList<int>& fields, const QList<const double*>& columns, int rowCount);
    void emptyTable();            // delete every row of the table (open or closed)
    // Deletes every visible row (range and filters applied; the handle must
    // be open) in one statement, and returns how many there were.
    int removeVisibleRows();
    void refresh();               // re-read the current row and the visible rows

    // Field access by exact name or by physical position.
    int fieldCount() const;
    TField field(int index);
    TField field(const QString& name);            // throws DbError when absent
    TField fieldByName(const QString& name) { return field(name); }
    bool hasField(const QString& name) const;
    QString fieldName(int index) const;

    // Values of the current (pending while in edit) row, in field order.
    QVariantList rowValues() const;

    // Low-level access used by TField.
    QVariant valueAt(int index) const;
    void setValueAt(int index, const QVariant& v);

signals:
    void afterOpen();
    void beforeClose();
    void afterScroll();            // the current row changed (includes open)
    void stateChanged();           // browse / edit / insert / inactive
    void dataChanged(int fieldIndex); // a field of the pending row changed (-1: whole row)
    void afterPost();
    void afterDelete();

private:
    // After a bulk append: the handle on the last new row (its values as
    // stored, its counter from rid), the signals and other handles told once.
    void landOnAppendedRow(QVariantList last, qint64 rid);

    struct Impl;
    std::unique_ptr<Impl> d;
    friend class Database;
};

} // namespace quen
