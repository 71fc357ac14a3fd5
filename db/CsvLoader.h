// The shipped reference data: the CSV files under data/tables/ (compiled
// into the programs) that fill a new database, one "<table name>.csv" per
// table. Not for use outside db/ (Database::loadDataDirectory is the public
// way in).
//
// A file is UTF-8 text: "#" lines are comments, the first other line names
// the fields, each further line is one row; a value holding a comma, a quote
// or a line break is quoted, a quote inside doubled. Logical fields take T or
// F, numbers a dot for the decimal sign, an empty cell is an empty field.
#pragma once

#include <QString>

namespace quen::dbi {

// Loads every "<table name>.csv" of dir (none when dir is missing) into its
// table on the open database, in file-name order, inside the caller's
// transaction. Throws DbError naming file and line for a malformed file, an
// unknown table or field, a value that does not fit its field or a
// duplicate key.
void loadDirectory(const QString& dir);

// Loads dir's "<tableName>.csv" when there is one (an upgrade fills a table
// it has just created with the shipped rows); as loadDirectory otherwise.
void loadTableFile(const QString& dir, const QString& tableName);

// Whether the table (by base name) holds no row.
bool tableIsEmpty(const QString& base);

// A new database always has one row in each one-row table. When the shipped
// data hold none, these documented rows are written:
//   "SystemDefaults.db": "ET Method" ANY, carry-over 0 % in spring and fall,
//      no elevation correction, empty password, peak ET method 0 (TR21);
//   "LocalDefaults.db": every field empty but "Sensitive" and "MetricUnits"
//      false (customary units);
//   "Report.db": "ReportNo" 1.
void ensureOneRowTables();

} // namespace quen::dbi
