// What a report runs over: a forward cursor over rows with named fields.
//
// The detail band prints once per row from first() until eof(). Table
// handles are wrapped by TableDataSet (TableDataSet.h); MemoryDataSet holds
// rows in memory (tests, one-off lists).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace quen::report {

class DataSet {
public:
    virtual ~DataSet() = default;
    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;
    // Value of a field of the current row; a null QVariant when empty.
    virtual QVariant value(const QString& field) const = 0;
    // The field's own display text (what a data-aware control would show).
    virtual QString text(const QString& field) const { return value(field).toString(); }
    virtual QStringList fieldNames() const = 0;
};

class MemoryDataSet : public DataSet {
public:
    MemoryDataSet() = default;
    explicit MemoryDataSet(const QStringList& fields) : m_fields(fields) {}

    void setFields(const QStringList& fields) { m_fields = fields; }
    void addRow(const QVariantList& values) { m_rows.append(values); }
    int rowCount() const { return int(m_rows.size()); }

    void first() override { m_pos = 0; }
    void next() override { if (m_pos < m_rows.size()) ++m_pos; }
    bool eof() const override { return m_pos >= m_rows.size(); }
    QVariant value(const QString& field) const override;
    QStringList fieldNames() const override { return m_fields; }

private:
    QStringList m_fields;
    QList<QVariantList> m_rows;
    qsizetype m_pos = 0;
};

// A row copied out of a data set, read like one (group footers print the
// last row of their group after the cursor has moved on).
class RowSnapshot : public DataSet {
public:
    void capture(const DataSet& ds);
    void first() override {}
    void next() override {}
    bool eof() const override { return false; }
    QVariant value(const QString& field) const override;
    QString text(const QString& field) const override;
    QStringList fieldNames() const override { return m_fields; }

private:
    QStringList m_fields;
    QVariantList m_values;
    QStringList m_texts;
};

} // namespace quen::report
