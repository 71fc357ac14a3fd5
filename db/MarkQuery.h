// TMarkQuery: the set-oriented mark statement of a markable table.
//
// The statement is held as the programs write it, two lines:
//   "Update CrpAnNam"
//   "Set Marked = :NewValue"
// setNewValue("T") marks every row of the table, "F" clears every mark;
// execSQL() runs it through Database::execMarkStatement, which refreshes the
// open handles of that table afterwards.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace quen {

class TMarkQuery : public QObject {
    Q_OBJECT
public:
    explicit TMarkQuery(QObject* parent = nullptr) : QObject(parent) {}
    TMarkQuery(const QStringList& sqlLines, QObject* parent = nullptr)
        : QObject(parent), m_sql(sqlLines) {}

    void setSql(const QStringList& lines) { m_sql = lines; }
    QStringList sql() const { return m_sql; }
    QString sqlText() const { return m_sql.join(QLatin1Char('\n')); }

    // The parameter "NewValue": "T" or "F".
    void setNewValue(const QString& value) { m_newValue = value; }
    QString newValue() const { return m_newValue; }

    // Runs the statement; returns the number of rows changed.
    int execSQL();

private:
    QStringList m_sql;
    QString m_newValue = QStringLiteral("F");
};

} // namespace quen
