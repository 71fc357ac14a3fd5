// The climate database program's data module: the station, WHR, county,
// defaults and import scratch tables, the mark filters on the station and
// WHR tables, data sources that never enter edit by themselves, the two mark
// statements and the program's two flags. Every handle starts closed.
#pragma once

#include <QObject>

#include "DataSource.h"
#include "MarkQuery.h"
#include "Table.h"

namespace quen::climprog {

class TDMod : public QObject {
    Q_OBJECT
public:
    explicit TDMod(QObject* parent = nullptr);
    ~TDMod() override;

    TTable* tblClim;      TDataSource* datClim;      // "Climate.DB" (mark filter; autoEdit off)
    TTable* tblWHR;       TDataSource* datWHR;       // "ClimWHR"    (mark filter; autoEdit off)
    TTable* tblCounty;    TDataSource* datCounty;    // "County"
    TTable* tblLocDef;    TDataSource* datLocDef;    // "LocalDefaults.DB"
    TTable* tblStaList;   TDataSource* datStaList;   // "StationList.db"
    TTable* tblDownCnty;  TDataSource* datDownCnty;  // "DownloadCounty.DB"

    TMarkQuery* qryMarkClim;  // "Update Climate" / "     Set Marked=:NewValue"
    TMarkQuery* qryMarkWHR;   // "Update ClimWHR" / "Set Marked = :NewValue"

    // Report import: true adds to the existing station table, false replaces it.
    bool AddToExisting = true;
    // Read from "MetricUnits" when the station or WHR editor opens.
    bool MetricUnits = false;

    // The mark filter: passes rows whose "Marked" is true.
    static bool MarkedFilterRecord(TTable& dataSet);
};

extern TDMod* DMod;

// One transaction over the climate tables for the imports: every table write
// made through the handles while it lives (emptyTable, appendRows, remove)
// becomes permanent together on commit(), or not at all when the object is
// destroyed without commit() (an exception, a refused row). Open handles of
// the tables named are re-read after a rollback. Not nestable.
class TClimTransaction {
public:
    explicit TClimTransaction(const QStringList& tableNames);
    ~TClimTransaction();
    void commit();
    TClimTransaction(const TClimTransaction&) = delete;
    TClimTransaction& operator=(const TClimTransaction&) = delete;

private:
    QStringList m_tables;
    bool m_open = false;
};

} // namespace quen::climprog
