#include "ClimDMod.h"
#include "CropDMod.h"
#include "DbFixture.h"
#include "FilterText.h"
#include "MainDMod.h"

using namespace quen;

TEST_F(DbTest, MainDataModuleFiltersStationsByTheCurrentCounty)
{
    {
        mainprog::TDMod dm;
        EXPECT_EQ(mainprog::DMod, &dm);
        EXPECT_FALSE(dm.tblClim->isOpen());
        EXPECT_EQ(dm.tblPctChance->tableName(), "PcpChance.DB");
        EXPECT_EQ(dm.DatPctChance->dataSet(), dm.tblPctChance);
        EXPECT_EQ(dm.datETKc->dataSet(), nullptr);

        dm.tblClim->setIndexName("StaNameIndex");
        dm.tblClim->open();
        dm.tblCntyList->open();                         // first county: "Adams, CO"
        EXPECT_EQ(column(*dm.tblClim, "Station Name"), QStringList({"apple Creek", "Banana Flats"}));
        dm.tblCntyList->next();                         // "Empty, KS": no stations
        EXPECT_TRUE(dm.tblClim->isEmpty());
        dm.tblCntyList->next();                         // "O'Brien, IA"
        EXPECT_EQ(dm.tblCntyList->field("County").asString(), "O'Brien, IA");
        EXPECT_EQ(dm.tblClim->filter(), "County = 'O'Brien, IA'");
        EXPECT_EQ(column(*dm.tblClim, "Station Name"), QStringList({"cherry Hill", "Dunes"}));
        dm.tblCntyList->last();
        EXPECT_EQ(column(*dm.tblClim, "Station Name"), QStringList({"Echo Ridge"}));
    }
    EXPECT_EQ(mainprog::DMod, nullptr);
}

TEST_F(DbTest, ACountyNameHoldingQuotesListsItsStations)
{
    // Names the filter reader would misread between plain quotes.
    const QStringList names = {"Travis', TX", "O''Neil, NE", "A' and County = 'B, CO"};
    {
        TTable county("County.db");
        county.open();
        TTable clim("Climate.DB");
        clim.open();
        for (const QString& name : names) {
            county.append();
            county.field("County").setAsString(name);
            county.post();
            clim.append();
            clim.field("Station Name").setAsString("Station of " + name.left(6));
            clim.field("County").setAsString(name);
            clim.post();
        }
    }
    mainprog::TDMod dm;
    dm.tblClim->open();
    dm.tblCntyList->open();
    for (const QString& name : names) {
        ASSERT_TRUE(dm.tblCntyList->locate("County", name));
        EXPECT_EQ(column(*dm.tblClim, "Station Name"), QStringList({"Station of " + name.left(6)}))
            << qPrintable(dm.tblClim->filter());
    }
    // A name that reads back between plain quotes keeps them.
    ASSERT_TRUE(dm.tblCntyList->locate("County", "O'Brien, IA"));
    EXPECT_EQ(dm.tblClim->filter(), "County = 'O'Brien, IA'");
    for (const QString& v : {QString("'"), QString("''"), QString("x'"), QString("' and '"), QString("a'b'' c'''")}) {
        const QList<FilterCondition> c = parseFilterText(equalsFilterText("County", v));
        ASSERT_EQ(c.size(), 1) << qPrintable(v);
        EXPECT_EQ(c[0].value.toString(), v);
    }
}

TEST_F(DbTest, MainDataModuleCropKindFilter)
{
    mainprog::TDMod dm;
    TTable& crops = *dm.tblCreateCrp;
    crops.setIndexName("CropNameIndex");
    crops.open();
    crops.setFiltered(true);
    EXPECT_EQ(crops.recordCount(), 4);                  // selector unset: every row
    dm.CropKindSelector = 1;
    crops.first();
    EXPECT_EQ(column(crops, "Cop Name"), QStringList({"Alfalfa", "Beans", "Potatoes"}));   // Corn has BC only
    EXPECT_FALSE(crops.locate("Cop Name", "Corn"));
    dm.CropKindSelector = 0;
    crops.first();
    EXPECT_EQ(column(crops, "Cop Name"), QStringList({"Alfalfa", "Potatoes"}));
    dm.CropKindSelector = 2;
    crops.first();
    EXPECT_EQ(column(crops, "Cop Name"), QStringList({"Alfalfa", "Beans", "Corn"}));
    crops.setFiltered(false);
    EXPECT_TRUE(crops.locate("Cop Name", "Corn"));
}

TEST_F(DbTest, CropAndClimateDataModulesMarkStatements)
{
    cropprog::TDMod crop;
    EXPECT_EQ(cropprog::DMod, &crop);
    EXPECT_EQ(crop.qryMarkFAOCurv->sqlText(), "Update CrpFAOCurv\nSet Marked =:NewValue");
    crop.tblBasGrass->open();
    crop.tblBasGrass->setFiltered(true);
    EXPECT_EQ(crop.tblBasGrass->recordCount(), 1);
    crop.qryMarkGrass->setNewValue("T");
    crop.qryMarkGrass->execSQL();
    EXPECT_EQ(crop.tblBasGrass->recordCount(), 5);
    EXPECT_EQ(crop.tblMetric->tableName(), "LocalDefaults.DB");
    crop.tblMetric->open();
    EXPECT_FALSE(crop.tblMetric->field("MetricUnits").asBoolean());

    climprog::TDMod clim;
    EXPECT_FALSE(clim.datClim->autoEdit());
    EXPECT_TRUE(clim.datCounty->autoEdit());
    clim.qryMarkClim->setNewValue("F");
    EXPECT_EQ(clim.qryMarkClim->execSQL(), 5);
    clim.tblClim->open();
    clim.tblClim->setFiltered(true);
    EXPECT_TRUE(clim.tblClim->isEmpty());
    clim.tblClim->setFiltered(false);
    EXPECT_FALSE(clim.datClim->ensureEditing());         // sources of this program never start an edit
    EXPECT_EQ(clim.tblClim->state(), TTable::State::Browse);
}
