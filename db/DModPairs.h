// Construction of the table handles and data sources of a data module: each
// handle is created closed, named "tbl…" after its role and set to its table;
// each data source is named "dat…" and bound to its handle.
#pragma once

#include "DataSource.h"
#include "Table.h"

namespace quen {

inline TTable* makeModuleTable(QObject* owner, const char* objectName, const char* tableName)
{
    auto* t = new TTable(QString::fromLatin1(tableName), owner);
    t->setObjectName(QString::fromLatin1(objectName));
    return t;
}

inline TDataSource* makeModuleSource(QObject* owner, const char* objectName, TTable* table)
{
    auto* s = new TDataSource(owner);
    s->setObjectName(QString::fromLatin1(objectName));
    s->setDataSet(table);
    return s;
}

} // namespace quen

// QUEN_DMOD_PAIR(tblX, datX, "Table.DB") inside a data module's constructor.
#define QUEN_DMOD_PAIR(tbl, dat, name)                  \
    tbl = ::quen::makeModuleTable(this, #tbl, name);    \
    dat = ::quen::makeModuleSource(this, #dat, tbl);
