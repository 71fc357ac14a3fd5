#include "MainCropFixture.h"

#include "FarmStore.h"

#include <QApplication>
#include <QTest>
#include <cmath>

#include "ComputeCrop.h"
#include "CompPHDatesDlg.h"
#include "CropCompDlg.h"
#include "GetCropNamDlg.h"
#include "DBGrid.h"
#include "DefLocDlg.h"
#include "DefSysDlg.h"
#include "PasswordDlg.h"
#include "MainDMod.h"
#include "ModalRun.h"
#include "NumEdit.h"
#include "Table.h"

namespace quen::test {

using namespace quen::mainprog;

namespace {

// Values of the one-row defaults tables as the shipped data has them,
// restored after every test.
QVariantList g_locDefaults, g_sysDefaults;

QVariantList readRow(const QString& table)
{
    TTable t(table);
    t.open();
    QVariantList v = t.isEmpty() ? QVariantList() : t.rowValues();
    t.close();
    return v;
}

void writeRow(const QString& table, const QVariantList& values)
{
    if (values.isEmpty()) return;
    TTable t(table);
    t.open();
    t.edit();
    for (int i = 0; i < values.size(); ++i) t.setValueAt(i, values[i]);
    t.post();
    t.close();
}

} // namespace

void MainCropTest::SetUp()
{
    msgs = std::make_unique<TScriptedMessages>();
    m_program = std::make_unique<TMainProgram>();
    m_program->form->show();
    if (g_locDefaults.isEmpty()) {
        g_locDefaults = readRow(QStringLiteral("LocalDefaults.db"));
        g_sysDefaults = readRow(QStringLiteral("SystemDefaults.db"));
    }
    TCropCompDlg::ShowOutput = [this](QWidget*, CropRunContext& c, CropCurveState&) { outputs.push_back(c); };
    TTable w(QStringLiteral("QuenWkCrop.DB"));
    w.emptyTable();
    job::EmptyWorkingFarmCrops();
}

void MainCropTest::TearDown()
{
    TModal<TGetCropNamDlg>::hook = nullptr;
    TModal<TCropCompDlg>::hook = nullptr;
    TModal<TCompPHDatesDlg>::hook = nullptr;
    TModal<TDefSysDlg>::hook = nullptr;
    TModal<TPasswordDlg>::hook = nullptr;
    TModal<TDefLocDlg>::hook = nullptr;
    m_program.reset();
    TTable crops(QStringLiteral("QuenCrop.DB"));
    crops.open();
    for (crops.first(); !crops.eof();) {
        if (crops.field(QStringLiteral("Cop Name")).asString().startsWith(QStringLiteral("Test "))) crops.remove();
        else crops.next();
    }
    crops.close();
    writeRow(QStringLiteral("LocalDefaults.db"), g_locDefaults);
    writeRow(QStringLiteral("SystemDefaults.db"), g_sysDefaults);
    msgs.reset();
}

TTable& MainCropTest::wk() { return *m_program->dmod->tblQuenWkCrop; }

void MainCropTest::addCropRecord(const QString& name, const QString& bcType, const QString& bcCurve,
                                 const QString& faoCurve)
{
    TTable t(QStringLiteral("QuenCrop.DB"));
    t.open();
    t.append();
    t.field(QStringLiteral("Cop Name")).setAsString(name);
    t.field(QStringLiteral("BC Crop Type")).setAsString(bcType);
    t.field(QStringLiteral("BC Crop Curve Name")).setAsString(bcCurve);
    if (!faoCurve.isEmpty()) t.field(QStringLiteral("FAOCropType")).setAsString(QStringLiteral("FAO 56, Table 12 crops"));
    t.field(QStringLiteral("FAOCropCurveName")).setAsString(faoCurve);
    t.field(QStringLiteral("Plant Mo")).setAsInteger(4);
    t.field(QStringLiteral("Plant Day")).setAsInteger(15);
    t.field(QStringLiteral("Harvest Mo")).setAsInteger(9);
    t.field(QStringLiteral("Harvest Day")).setAsInteger(27);
    t.post();
    t.close();
}

void MainCropTest::setDefault(const QString& table, const QString& field, const QVariant& v)
{
    TTable t(table);
    t.open();
    t.edit();
    t.field(field).setValue(v);
    t.post();
    t.close();
}

void MainCropTest::setUpJob(const QString& station, int etMethodIndex)
{
    CropRunContext& c = ctx();
    c.JobName = QStringLiteral("Crop test job");
    job().JobSaveState = 1;
    TTable clim(QStringLiteral("Climate.DB"));
    clim.open();
    ASSERT_TRUE(clim.locate(QStringLiteral("Station Name"), station)) << station.toStdString();
    auto f = [&clim](const QString& n) { return clim.field(n); };
    c.WeatherStationName = f("Station Name").asString();
    c.StationNumber = f("Station No").asString();
    c.County = f("County").asString();
    c.Elevation = f("Elevation").asFloat();
    c.ElevationM = f("ElevationM").asFloat();
    c.Latitude = f("Latitude").asFloat();
    c.Longitude = f("Longitude").asFloat();
    c.AnnualPrecip = 0;
    for (int m = 1; m <= 12; ++m) {
        c.MonthlyPrecip[m] = f(QStringLiteral("P%1").arg(m)).asFloat();
        c.MonthlyTemp[m] = f(QStringLiteral("T%1").arg(m)).asFloat();
        c.AnnualPrecip += c.MonthlyPrecip[m];
    }
    const double P = c.AnnualPrecip;
    c.EffPcpFact50 = 0.774261 + 0.0200712 * P - 0.000741843 * std::pow(P, 2) + 0.0000127653 * std::pow(P, 3)
        - 0.000000101543 * std::pow(P, 4) + 0.000000000301104 * std::pow(P, 5);
    c.EffPcpFact80 = 0.415008 + 0.0295972 * P - 0.000779763 * std::pow(P, 2) + 0.00000905045 * std::pow(P, 3)
        - 0.0000000372727 * std::pow(P, 4);
    clim.close();
    c.ETMethodIndex = etMethodIndex;
    c.ETMethodText = etMethodIndex == 1   ? QStringLiteral("Blaney Criddle (TR21)")
                     : etMethodIndex == 2 ? QStringLiteral("FAO Penman-Monteith, NEH2")
                                          : QStringLiteral("FAO Penman-Monteith, FAO 56");
    form().JobNameEdit->setText(c.JobName);
}

bool clickGridRow(TDBGrid* grid, const QString& text)
{
    auto* model = grid->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        const QModelIndex idx = model->index(r, 0);
        if (model->data(idx).toString() == text) {
            grid->scrollTo(idx);
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(idx).center());
            return true;
        }
    }
    return false;
}

void typeInto(TNumEdit* e, const QString& text)
{
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Backspace);
    QTest::keyClicks(e, text);
    QTest::keyClick(e, Qt::Key_Return);
}

bool activate(QWidget* w)
{
    w->show();
    w->activateWindow();
    // A dialog over another one counts as active with its parent at first;
    // wait until it has the keyboard itself.
    for (int i = 0; i < 50 && QApplication::activeWindow() != w; ++i) QTest::qWait(10);
    return QApplication::activeWindow() == w;
}

CropRunContext recompute(const CropRunContext& job, const QString& crop)
{
    CropRunContext c = job;
    CropCurveState s;
    TTable w(QStringLiteral("QuenWkCrop.DB"));
    w.setIndexName(QStringLiteral("CropNameIndex"));
    w.open();
    if (!w.findKey({crop})) ADD_FAILURE() << "no working crop " << crop.toStdString();
    c.CropName = crop;
    ComputeCrop(c, s, w);
    w.close();
    return c;
}

} // namespace quen::test
