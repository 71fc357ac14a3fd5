#include "TableDataSet.h"

#include "Table.h"

namespace quen::report {

void TableDataSet::first() { m_table->first(); }
void TableDataSet::next() { m_table->next(); }
bool TableDataSet::eof() const { return !m_table->isOpen() || m_table->isEmpty() || m_table->eof(); }

QVariant TableDataSet::value(const QString& field) const
{
    return m_table->field(field).value();
}

QString TableDataSet::text(const QString& field) const
{
    return m_table->field(field).asString();
}

QStringList TableDataSet::fieldNames() const
{
    QStringList names;
    const int n = m_table->fieldCount();
    for (int i = 0; i < n; ++i)
        names.append(m_table->fieldName(i));
    return names;
}

} // namespace quen::report
