// The main program's data module: one handle per table the main program
// opens, the data sources its windows bind to, the county filter on the
// climate stations, the crop-kind filter on the crop records and the units
// flag. Created once at start-up (right after the main window); every handle
// starts closed.
#pragma once

#include <QObject>

#include "DataSource.h"
#include "Table.h"

namespace quen::mainprog {

class TDMod : public QObject {
    Q_OBJECT
public:
    explicit TDMod(QObject* parent = nullptr);
    ~TDMod() override;

    TTable* tblQuenJob;       TDataSource* datQuenJob;       // "QuenJob.db"
    TTable* tblQuenJobCrop;   TDataSource* datQuenJobCrop;   // "QuenJobCrop.DB"
    TTable* tblQuenWkCrop;    TDataSource* datQuenWkCrop;    // "QuenWkCrop.DB"
    TTable* tblSysDef;        TDataSource* datSysDef;        // "SystemDefaults.db"
    TTable* tblLocDef;        TDataSource* datLocDef;        // "LocalDefaults.db"
    TTable* tblClim;          TDataSource* datClim;          // "Climate.DB" (county filter)
    TTable* tblWHR;           TDataSource* datWHR;           // "ClimWHR.DB"
    TTable* tblCntyList;      TDataSource* datCntyList;      // "County.db"
    TTable* tblPctChance;     TDataSource* DatPctChance;     // "PcpChance.DB"
    TTable* tblMoPctDay;      TDataSource* datMoPctDay;      // "MoPctDay.db"
    TTable* tblWetSoil;       TDataSource* datWetSoil;       // "WetSoil.db"
    TTable* tblETKc;          TDataSource* datETKc;          // "ETKc.db" (datETKc bound to nothing)
    TTable* tblCreateCrp;     TDataSource* datCreateCrp;     // "QuenCrop.DB" (crop-kind filter)
    TTable* tblBasFldVeg;     TDataSource* datFldVeg;        // "CrpAnNam.DB"
    TTable* tblBasPeren;      TDataSource* datBasPeren;      // "CrpPeren.DB"
    TTable* tblBasGrass;      TDataSource* datBasGrass;      // "CrpForag.DB"
    TTable* tblBCAnnual;      TDataSource* datBCAnnual;      // "CrpBCAnu.DB"
    TTable* tblBCPeren;       TDataSource* datBCPeren;       // "CrpBCPer.DB"
    TTable* tblAnType;        TDataSource* datAnType;        // "CrpAnTyp.db"
    TTable* tblFAOcurv;       TDataSource* datFAOcurv;       // "CrpFAOCurv.DB"

    // Crop-kind selector, set by the crop selection before it switches
    // filtering of tblCreateCrp on: 0 FAO 56 Table 12 curves ("FAOCropType"
    // not empty), 1 NEH2 basal curves ("Bas Crop Type" not empty),
    // 2 Blaney-Criddle curves ("BC Crop Type" not empty); any other value
    // accepts every row.
    int CropKindSelector = -1;

    // Copy of "MetricUnits" of "LocalDefaults.db", taken when the main window
    // is shown; reports and output pick their variant by it.
    bool MetricUnits = false;

    // Record filter of tblCreateCrp by the crop-kind selector.
    bool tblCreateCrpFilterRecord(TTable& dataSet) const;

public slots:
    // After every scroll of tblCntyList (including its first positioning on
    // open): filter tblClim to the stations of the current county.
    void tblCntyListAfterScroll();
};

// The one instance; set by the constructor, cleared by the destructor.
extern TDMod* DMod;

} // namespace quen::mainprog
