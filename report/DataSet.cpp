#include "DataSet.h"

namespace quen::report {

QVariant MemoryDataSet::value(const QString& field) const
{
    const qsizetype col = m_fields.indexOf(field);
    if (col < 0 || m_pos >= m_rows.size())
        return {};
    const QVariantList& row = m_rows.at(m_pos);
    return col < row.size() ? row.at(col) : QVariant();
}

void RowSnapshot::capture(const DataSet& ds)
{
    m_fields = ds.fieldNames();
    m_values.clear();
    m_texts.clear();
    m_values.reserve(m_fields.size());
    m_texts.reserve(m_fields.size());
    for (const QString& f : std::as_const(m_fields)) {
        m_values.append(ds.value(f));
        m_texts.append(ds.text(f));
    }
}

QVariant RowSnapshot::value(const QString& field) const
{
    const qsizetype i = m_fields.indexOf(field);
    return i < 0 ? QVariant() : m_values.at(i);
}

QString RowSnapshot::text(const QString& field) const
{
    const qsizetype i = m_fields.indexOf(field);
    return i < 0 ? QString() : m_texts.at(i);
}

} // namespace quen::report
