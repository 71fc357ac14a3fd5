#include "OptionFlag.h"

#include "db/Table.h"

namespace quen {

bool OptionFlag(const QString& table, const QString& field)
{
    TTable t(table);
    t.open();
    t.first();
    const bool on = !t.isEmpty() && t.field(field).asBoolean();
    t.close();
    return on;
}

void SetOptionFlag(const QString& table, const QString& field, bool on)
{
    TTable t(table);
    t.open();
    t.first();
    if (t.isEmpty())
        t.append();
    else
        t.edit();
    t.field(field).setAsBoolean(on);
    t.post();
    t.close();
}

} // namespace quen
