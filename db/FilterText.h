// Parser of the filter text of a table handle.
//
// The text is a list of conditions joined by "and" (any case):
//   Field = 'text'      Field = 12.5      "Field Name" = 'x'      [Field Name] <> 'x'
// Operators: =, <>, <, >, <=, >=. A field name may be bare (blanks allowed),
// in double quotes or in brackets. A quoted value runs to its closing quote;
// a doubled quote inside stands for one quote, and a single quote that does
// not end the value (because text other than the end or "and <condition>"
// follows it) is taken literally, so "County = 'O'Brien, IA'" is the county
// O'Brien, IA. Values are never spliced into SQL; they become parameters.
#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace quen {

struct FilterCondition {
    QString field;
    QString op;          // "=", "<>", "<", ">", "<=", ">="
    QVariant value;      // QString for a quoted value, double for a number
    bool quoted = false;
};

// Parses text; throws DbError naming the text when it cannot be read.
// An empty (blank) text gives no conditions.
QList<FilterCondition> parseFilterText(const QString& text);

// The condition "<field> = '<value>'": the value between the quotes as it is
// when the reader takes it back whole (so "County = 'O'Brien, IA'"),
// otherwise with every quote doubled, which always reads back (a name such
// as "X'" or one holding "''").
QString equalsFilterText(const QString& field, const QString& value);

} // namespace quen
