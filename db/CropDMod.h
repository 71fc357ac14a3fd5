// The crop database program's data module: one handle per crop table, two
// handles on the local defaults, the mark filters ("Marked" true) on the four
// curve tables and the crop table, and one mark statement per markable table.
// Every handle starts closed; the mark filters apply only while a window
// switches filtering on ("Show All Marked", "Print All Marked").
#pragma once

#include <QObject>

#include "DataSource.h"
#include "MarkQuery.h"
#include "Table.h"

namespace quen::cropprog {

class TDMod : public QObject {
    Q_OBJECT
public:
    explicit TDMod(QObject* parent = nullptr);
    ~TDMod() override;

    TTable* tblBasFldVeg;   TDataSource* datFldVeg;     // "CrpAnNam.DB"     (mark filter)
    TTable* tblBasPeren;    TDataSource* datBasPeren;   // "CrpPeren.DB"     (mark filter)
    TTable* tblBasGrass;    TDataSource* datBasGrass;   // "CrpForag.DB"     (mark filter)
    TTable* tblBCAnnual;    TDataSource* datBCAnnual;   // "CrpBCAnu.DB"
    TTable* tblBCPeren;     TDataSource* datBCPeren;    // "CrpBCPer.DB"
    TTable* tblCreateCrp;   TDataSource* datCreateCrp;  // "QuenCrop.DB"     (mark filter)
    TTable* tblAnType;      TDataSource* datAnType;     // "CrpAnTyp.db"
    TTable* tblLastUse;     TDataSource* datLastUse;    // "CrpLastUse.db"
    TTable* tblFAOcurv;     TDataSource* datFAOcurv;    // "CrpFAOCurv.DB"   (mark filter)
    TTable* tblFAO56Tbl;    TDataSource* datFAO56Tbl;   // "CrpFAO56Tbl.db"
    TTable* tblFAOTbl11;    TDataSource* datFAOTbl11;   // "crpFAOTbl11.db"
    TTable* tblMetric;      TDataSource* datMetric;     // "LocalDefaults.DB", its "MetricUnits"
    TTable* tblLocDef;      TDataSource* datLocDef;     // "LocalDefaults.DB", all fields

    // "Update <table>" / "Set Marked = :NewValue" ("CrpFAOCurv": "Set Marked =:NewValue").
    TMarkQuery* qryMarkFldVeg;   // CrpAnNam
    TMarkQuery* qryMarkPeren;    // CrpPeren
    TMarkQuery* qryMarkGrass;    // CrpForag
    TMarkQuery* qryMarkCrop;     // QuenCrop
    TMarkQuery* qryMarkFAOCurv;  // CrpFAOCurv

    bool MetricUnits = false;

    // The mark filter: passes rows whose "Marked" is true.
    static bool MarkedFilterRecord(TTable& dataSet);
};

extern TDMod* DMod;

} // namespace quen::cropprog
