// A private table keyed by a whole-number field ("JDate" of "ETKc.db"),
// held as an array of rows sorted by that key instead of in SQLite's pages.
//
// A crop run empties and refills the daily table with up to 366 rows; in a
// B-tree each row costs a seek, a record build and a page insert, which made
// the refill most of the run. Here a row is a few machine words appended to
// an array. The table stays an ordinary table of the private database to
// every statement (a SQLite virtual table): the table handles read, seek,
// post and delete through the same SQL as on any other table, with the key
// as the rowid, so a seek on the key or a walk in key order is a binary
// search or a step in the array. Writes take part in the private
// database's transaction and savepoints: a savepoint rolled back restores
// the rows as they were when it began.
//
// The handles' bulk operations (emptyTable, appendColumns) go straight to
// the array when the table takes part in the open transaction (always, once
// the private database is open), all or nothing.
#pragma once

#include <QString>
#include <cstdint>

#include "Schema.h"

struct sqlite3;

namespace quen::dbi {

// Whether the private database holds table t this way: a private table whose
// key is one required whole-number field and whose fields are all numbers,
// without further indexes.
bool isKeyedTable(const TableDef& t);

// Registers the module on the private connection (before its tables are made).
void registerKeyedTables(sqlite3* db);

// "CREATE VIRTUAL TABLE ..." of table t on the private connection.
QString createKeyedTableSql(const TableDef& t);

// The rows of a keyed table, for the handles' bulk operations.
class KeyedRows;

// The rows of table def on the private connection when it is a keyed table
// whose rows may be written without a statement (it takes part in the open
// transaction, so its savepoints reach them); nullptr otherwise.
KeyedRows* keyedRowsForBulk(const TableDef& def);

// Every row gone.
void keyedClear(KeyedRows& rows);

// Appends rowCount rows: field fields[k] of row r is columns[k][r] (a null
// column gives 0; a Short is rounded, a Logical is 0 or 1), fields listed in
// zeroFields are 0, the others empty. All or nothing: false, with nothing
// written, when a key is already in the table or given twice. *lastKey: the
// key of the last row.
bool keyedAppend(KeyedRows& rows, const TableDef& def, const int* fields, const double* const* columns, int fieldCount,
                 const int* zeroFields, int zeroCount, int rowCount, std::int64_t* lastKey);

} // namespace quen::dbi
