#include "MainDMod.h"

namespace quen::mainprog {

TDMod* DMod = nullptr;

namespace {

TTable* makeTable(QObject* owner, const char* objectName, const char* tableName)
{
    auto* t = new TTable(QString::fromLatin1(tableName), owner);
    t->setObjectName(QString::fromLatin1(objectName));
    return t;
}

TDataSource* makeSource(QObject* owner, const char* objectName, TTable* table)
{
    auto* s = new TDataSource(owner);
    s->setObjectName(QString::fromLatin1(objectName));
    s->setDataSet(table);
    return s;
}

} // namespace

TDMod::TDMod(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DMod"));
#define QUEN_PAIR(tbl, dat, name)            \
    tbl = makeTable(this, #tbl, name);       \
    dat = makeSource(this, #dat, tbl);
    QUEN_PAIR(tblQuenJob, datQuenJob, "QuenJob.db")
    QUEN_PAIR(tblQuenJobCrop, datQuenJobCrop, "QuenJobCrop.DB")
    QUEN_PAIR(tblQuenWkCrop, datQuenWkCrop, "QuenWkCrop.DB")
    QUEN_PAIR(tblSysDef, datSysDef, "SystemDefaults.db")
    QUEN_PAIR(tblLocDef, datLocDef, "LocalDefaults.db")
    QUEN_PAIR(tblClim, datClim, "Climate.DB")
    QUEN_PAIR(tblWHR, datWHR, "ClimWHR.DB")
    QUEN_PAIR(tblCntyList, datCntyList, "County.db")
    QUEN_PAIR(tblPctChance, DatPctChance, "PcpChance.DB")
    QUEN_PAIR(tblMoPctDay, datMoPctDay, "MoPctDay.db")
    QUEN_PAIR(tblWetSoil, datWetSoil, "WetSoil.db")
    QUEN_PAIR(tblETKc, datETKc, "ETKc.db")
    QUEN_PAIR(tblCreateCrp, datCreateCrp, "QuenCrop.DB")
    QUEN_PAIR(tblBasFldVeg, datFldVeg, "CrpAnNam.DB")
    QUEN_PAIR(tblBasPeren, datBasPeren, "CrpPeren.DB")
    QUEN_PAIR(tblBasGrass, datBasGrass, "CrpForag.DB")
    QUEN_PAIR(tblBCAnnual, datBCAnnual, "CrpBCAnu.DB")
    QUEN_PAIR(tblBCPeren, datBCPeren, "CrpBCPer.DB")
    QUEN_PAIR(tblAnType, datAnType, "CrpAnTyp.db")
    QUEN_PAIR(tblFAOcurv, datFAOcurv, "CrpFAOCurv.DB")
#undef QUEN_PAIR

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
    // The county name goes between quotes unchanged; the filter reader takes
    // a quote inside the name as part of it.
    tblClim->setFilter(QStringLiteral("County = '") + county + QLatin1Char('\''));
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
