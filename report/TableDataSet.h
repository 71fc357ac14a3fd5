// A table handle as the data set of a report. The handle is used as it
// stands (its index, range and filter decide the rows and their order); the
// report leaves it positioned after its last row.
#pragma once

#include "DataSet.h"

namespace quen {
class TTable;
}

namespace quen::report {

class TableDataSet : public DataSet {
public:
    explicit TableDataSet(TTable* table) : m_table(table) {}

    void first() override;
    void next() override;
    bool eof() const override;
    QVariant value(const QString& field) const override;
    QString text(const QString& field) const override;
    QStringList fieldNames() const override;

    TTable* table() const { return m_table; }

private:
    TTable* m_table;
};

} // namespace quen::report
