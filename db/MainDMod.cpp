#include "MainDMod.h"

#include "DModPairs.h"
#include "FilterText.h"

namespace quen::mainprog {

TDMod* DMod = nullptr;

TDMod::TDMod(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DMod"));
    QUEN_DMOD_PAIR(tblQuenJob, datQuenJob, "QuenJob.db")
    QUEN_DMOD_PAIR(tblQuenJobCrop, datQuenJobCrop, "QuenJobCrop.DB")
    QUEN_DMOD_PAIR(tblQuenWkCrop, datQuenWkCrop, "QuenWkCrop.DB")
    QUEN_DMOD_PAIR(tblSysDef, datSysDef, "SystemDefaults.db")
    QUEN_DMOD_PAIR(tblLocDef, datLocDef, "LocalDefaults.db")
    QUEN_DMOD_PAIR(tblClim, datClim, "Climate.DB")
    QUEN_DMOD_PAIR(tblWHR, datWHR, "ClimWHR.DB")
    QUEN_DMOD_PAIR(tblCntyList, datCntyList, "County.db")
    QUEN_DMOD_PAIR(tblPctChance, DatPctChance, "PcpChance.DB")
    QUEN_DMOD_PAIR(tblMoPctDay, datMoPctDay, "MoPctDay.db")
    QUEN_DMOD_PAIR(tblWetSoil, datWetSoil, "WetSoil.db")
    QUEN_DMOD_PAIR(tblETKc, datETKc, "ETKc.db")
    QUEN_DMOD_PAIR(tblCreateCrp, datCreateCrp, "QuenCrop.DB")
    QUEN_DMOD_PAIR(tblBasFldVeg, datFldVeg, "CrpAnNam.DB")
    QUEN_DMOD_PAIR(tblBasPeren, datBasPeren, "CrpPeren.DB")
    QUEN_DMOD_PAIR(tblBasGrass, datBasGrass, "CrpForag.DB")
    QUEN_DMOD_PAIR(tblBCAnnual, datBCAnnual, "CrpBCAnu.DB")
    QUEN_DMOD_PAIR(tblBCPeren, datBCPeren, "CrpBCPer.DB")
    QUEN_DMOD_PAIR(tblAnType, datAnType, "CrpAnTyp.db")
    QUEN_DMOD_PAIR(tblFAOcurv, datFAOcurv, "CrpFAOCurv.DB")

    // The daily table is read through its handle only.
    datETKc->setDataSet(nullptr);

    // County filter: the stations of the county current in the county list.
    tblClim->setFiltered(true);
    connect(tblCntyList, &TTable::afterScroll, this, &TDMod::tblCntyListAfterScroll);

    // Crop-kind filter on the crop records (applies while filtering is on).
    tblCreateCrp->setOnFilterRecord([this](TTable& t) { return tblCreateCrpFilterRecord(t); });

    DMod = this;
}

TDMod::~TDMod()
{
    if (DMod == this)
        DMod = nullptr;
}

void TDMod::tblCntyListAfterScroll()
{
    QString county;
    if (tblCntyList->isOpen() && !tblCntyList->isEmpty())
        county = tblCntyList->field(QStringLiteral("County")).asString();
    // The county name goes between quotes unchanged where the filter reader
    // takes it back whole ("O'Brien, IA"); a name it would misread has its
    // quotes doubled.
    tblClim->setFilter(equalsFilterText(QStringLiteral("County"), county));
}

bool TDMod::tblCreateCrpFilterRecord(TTable& dataSet) const
{
    auto filled = [&dataSet](const char* name) {
        return !dataSet.field(QString::fromLatin1(name)).asString().isEmpty();
    };
    switch (CropKindSelector) {
    case 0: return filled("FAOCropType");
    case 1: return filled("Bas Crop Type");
    case 2: return filled("BC Crop Type");
    default: return true;
    }
}

} // namespace quen::mainprog
