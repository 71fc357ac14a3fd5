// The planner's options beyond the original program, each a table of its own
// holding one row with one logical field: read and written here.
#pragma once

#include <QString>

namespace quen {

// The field of the table's one row; false when the table has no row.
bool OptionFlag(const QString& table, const QString& field);
// Writes the field, appending the row when the table has none.
void SetOptionFlag(const QString& table, const QString& field, bool on);

} // namespace quen
