// Working-crop rows on the shipped curves, as the crop selection and the crop
// inputs dialog leave them: the jobs of the job, chart and shipped-data tests
// and of bench_job.
#pragma once

#include <QString>

#include "Table.h"

namespace quen::test {

struct WorkingCrop {
    QString name = QStringLiteral("Potatoes");
    int curveIndex = 0;
    QString curveType = QStringLiteral("Field and vegetable crops");
    QString curveName = QStringLiteral("Potatoes AM");
    int etIndex = 2;
    int pm = 4, pd = 15, hm = 9, hd = 20;
    double netIrr = 3.0;
    double carryEnd = 0.25;
    QString irrigationType = QStringLiteral("Sprinkler");
};

// The three method families on the shipped curves.
inline WorkingCrop nehCrop() { return {}; }
inline WorkingCrop faoCrop()
{
    WorkingCrop c;
    c.name = QStringLiteral("Winter wheat");
    c.curveIndex = 5;
    c.curveType = QStringLiteral("FAO 56, Table 12 crops");
    c.curveName = QStringLiteral("Winter wheat - FAO-56 T12/T11");
    c.etIndex = 3;
    c.pm = 10, c.pd = 15, c.hm = 7, c.hd = 10;
    return c;
}
inline WorkingCrop bcCrop()
{
    WorkingCrop c;
    c.name = QStringLiteral("Potatoes BC");
    c.curveIndex = 3;
    c.curveType = QStringLiteral("Blaney Criddle Annual Crop");
    c.curveName = QStringLiteral("Potatoes (TR-21)");
    c.etIndex = 1;
    c.pm = 5, c.pd = 1, c.hm = 9, c.hd = 15;
    return c;
}

// Sets the fields of the working-crop row being appended that the crop
// selection fills.
inline void setSelectedCropFields(TTable& wk, const WorkingCrop& c, const QString& jobName, int cropNo)
{
    wk.field("Crop Name").setAsString(c.name);
    wk.field("Job Name").setAsString(jobName);
    wk.field("Crop No").setAsInteger(cropNo);
    wk.field("Crop Curve Type").setAsString(c.curveType);
    wk.field("Curve Index").setAsInteger(c.curveIndex);
    wk.field("Curve Name").setAsString(c.curveName);
    wk.field("Net Irr").setAsFloat(c.netIrr);
    wk.field("Plant Mo").setAsInteger(c.pm);
    wk.field("Plant Day").setAsInteger(c.pd);
    wk.field("Harvest Mo").setAsInteger(c.hm);
    wk.field("Harvest Day").setAsInteger(c.hd);
    wk.field("Carry Beg").setAsFloat(0.5);
    wk.field("Carry End").setAsFloat(c.carryEnd);
    wk.field("Soil").setAsString("Silt Loam");
    wk.field("Cuttings").setAsInteger(3);
    wk.field("Cut1Mo").setAsInteger(6);
    wk.field("Cut1Day").setAsInteger(1);
    wk.field("CutEndMo").setAsInteger(8);
    wk.field("CutEndDay").setAsInteger(30);
    wk.field("Dys Wet Developed").setAsInteger(7);
    wk.field("Dys Wet Mature").setAsInteger(14);
    wk.field("Stress Factor").setAsFloat(1.0);
    wk.field("Fraction Wetted").setAsFloat(1.0);
    wk.field("Irrigation Type").setAsString(c.irrigationType);
    wk.field("ASW").setAsFloat(50);
}

// Appends and posts a working-crop row (the handle is open), as the crop
// selection and the crop inputs dialog leave it.
inline void appendWorkingCrop(TTable& wk, const WorkingCrop& c, const QString& jobName, int cropNo)
{
    wk.append();
    setSelectedCropFields(wk, c, jobName, cropNo);
    wk.field("Sensitive").setAsBoolean(true);
    wk.field("Beg Dat").setAsString(QStringLiteral("%1/%2").arg(c.pm).arg(c.pd));
    wk.field("End Dat").setAsString(QStringLiteral("%1/%2").arg(c.hm).arg(c.hd));
    wk.field("ET Index").setAsInteger(c.etIndex);
    wk.post();
}

// Sets the fields of the working-crop row being appended that the crop inputs
// dialog takes from the job's local defaults ("LocalDefaults.db", positioned).
inline void setLocalDefaultFields(TTable& wk, TTable& loc)
{
    wk.field("Net Irr").setAsFloat(loc.field("Net Depth of Irrigation").asFloat());
    wk.field("Soil").setAsString(loc.field("Surface Soil Type").asString());
    wk.field("Dys Wet Developed").setAsInteger(loc.field("Days Wettings Develop").asInteger());
    wk.field("Dys Wet Mature").setAsInteger(loc.field("Days Wettings Mature").asInteger());
    wk.field("Cuttings").setAsInteger(loc.field("Hay Cuttings Number").asInteger());
    wk.field("Cut1Mo").setAsInteger(loc.field("Hay 1st Cut Mo").asInteger());
    wk.field("Cut1Day").setAsInteger(loc.field("Hay 1st Cut Day").asInteger());
    wk.field("CutEndMo").setAsInteger(loc.field("Hay Last Cut Mo").asInteger());
    wk.field("CutEndDay").setAsInteger(loc.field("Hay Last Cut Day").asInteger());
    wk.field("Stress Factor").setAsFloat(loc.field("Stress Factor").asFloat());
    wk.field("ASW").setAsFloat(loc.field("ASW").asFloat());
    wk.field("Irrigation Type").setAsString(loc.field("Type of Irrigation").asString());
    wk.field("Fraction Wetted").setAsFloat(1.0);
}

} // namespace quen::test
