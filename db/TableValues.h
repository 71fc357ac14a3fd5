// Values of the table handles: how a value written to a field is kept in a
// row buffer, how it is bound to SQL, how a number is shown, and the message
// of a refused duplicate key. Not for use outside db/.
#pragma once

#include <QString>
#include <QVariant>
#include <functional>

#include "Schema.h"

namespace quen::dbi {

bool isTextType(FieldType t);   // Text or Memo

// Shortest text with at most 15 significant digits, no trailing zeros.
QString generalFormat(double v);

// "Key violation." followed by what was refused: the table, the key's
// field(s) and the value(s) of the row, e.g.
//   Key violation. "Climate.DB" already holds a record with "Station Name" 'Apple Creek'.
// errorText is the database's text of the refusal; valueOf gives the refused
// row's stored value of a field (by position).
QString keyViolationMessage(const TableDef& def, const QString& errorText, const std::function<QVariant(int)>& valueOf);

// Stored form (as kept in a row buffer) of a value written to field f.
QVariant toStored(const FieldDef& f, const QVariant& v);

// Value bound to SQL for a row buffer value.
QVariant toSql(const FieldDef& f, const QVariant& v);

// Value bound for a key, a range bound, a locate or a filter value on field f.
QVariant keyToSql(const FieldDef& f, const QVariant& v);

} // namespace quen::dbi
