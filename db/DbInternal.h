// Internal services of the database layer shared by Database.cpp and
// Table.cpp; not for use outside db/.
#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include "Schema.h"

namespace quen::dbi {

// Prepared, forward-only statement cached on the open connection (opens the
// alias location when nothing is open yet).
QSqlQuery& query(const QString& sql);

// Runs a cached statement with positional values; throws DbError on failure.
// Returns the statement for reading.
QSqlQuery& run(const QString& sql, const QVariantList& values);

// Write discipline. A scratch-table write joins one open transaction (begun
// here when none is open); it is committed without a disk flush when a
// scratch handle closes or before any durable operation. A user-table write
// first commits that transaction, then runs on its own and is flushed to
// disk when it returns.
void beginScratchWrite();
void commitScratch();
void beforeDurableWrite(const TableDef& def);   // picks by def.scratch

bool isKeyViolation(const QSqlQuery& q);
QString quoteId(const QString& identifier);       // "name" for SQL
QString sqlTypeName(FieldType t);

} // namespace quen::dbi
