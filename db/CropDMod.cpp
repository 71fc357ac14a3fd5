#include "CropDMod.h"

#include "DModPairs.h"

namespace quen::cropprog {

TDMod* DMod = nullptr;

TDMod::TDMod(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DMod"));
    QUEN_DMOD_PAIR(tblBasFldVeg, datFldVeg, "CrpAnNam.DB")
    QUEN_DMOD_PAIR(tblBasPeren, datBasPeren, "CrpPeren.DB")
    QUEN_DMOD_PAIR(tblBasGrass, datBasGrass, "CrpForag.DB")
    QUEN_DMOD_PAIR(tblBCAnnual, datBCAnnual, "CrpBCAnu.DB")
    QUEN_DMOD_PAIR(tblBCPeren, datBCPeren, "CrpBCPer.DB")
    QUEN_DMOD_PAIR(tblCreateCrp, datCreateCrp, "QuenCrop.DB")
    QUEN_DMOD_PAIR(tblAnType, datAnType, "CrpAnTyp.db")
    QUEN_DMOD_PAIR(tblLastUse, datLastUse, "CrpLastUse.db")
    QUEN_DMOD_PAIR(tblFAOcurv, datFAOcurv, "CrpFAOCurv.DB")
    QUEN_DMOD_PAIR(tblFAO56Tbl, datFAO56Tbl, "CrpFAO56Tbl.db")
    QUEN_DMOD_PAIR(tblFAOTbl11, datFAOTbl11, "crpFAOTbl11.db")
    QUEN_DMOD_PAIR(tblMetric, datMetric, "LocalDefaults.DB")
    QUEN_DMOD_PAIR(tblLocDef, datLocDef, "LocalDefaults.DB")

    for (TTable* t : {tblBasFldVeg, tblBasPeren, tblBasGrass, tblCreateCrp, tblFAOcurv})
        t->setOnFilterRecord(&TDMod::MarkedFilterRecord);

    auto mark = [this](const char* name, const char* table, const char* setLine) {
        auto* q = new TMarkQuery({QStringLiteral("Update ") + QLatin1String(table), QLatin1String(setLine)}, this);
        q->setObjectName(QLatin1String(name));
        return q;
    };
    qryMarkFldVeg = mark("qryMarkFldVeg", "CrpAnNam", "Set Marked = :NewValue");
    qryMarkPeren = mark("qryMarkPeren", "CrpPeren", "Set Marked = :NewValue");
    qryMarkGrass = mark("qryMarkGrass", "CrpForag", "Set Marked = :NewValue");
    qryMarkCrop = mark("qryMarkCrop", "QuenCrop", "Set Marked = :NewValue");
    qryMarkFAOCurv = mark("qryMarkFAOCurv", "CrpFAOCurv", "Set Marked =:NewValue");

    DMod = this;
}

TDMod::~TDMod()
{
    if (DMod == this)
        DMod = nullptr;
}

bool TDMod::MarkedFilterRecord(TTable& dataSet)
{
    return dataSet.field(QStringLiteral("Marked")).asBoolean();
}

} // namespace quen::cropprog
