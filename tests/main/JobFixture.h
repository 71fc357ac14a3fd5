// Helpers of the job tests: working-crop rows as the crop dialog leaves
// them, on the shipped curves, and comparison of computed results.
#pragma once

#include <QString>
#include <gtest/gtest.h>

#include "ComputeCrop.h"
#include "CropRunContext.h"
#include "Table.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace quen::test {

struct WorkingCrop {
    QString name = QStringLiteral("Potatoes");
    int curveIndex = 0;
    QString curveType = QStringLiteral("Field and vegetable crops");
    QString curveName = QStringLiteral("Potatoes AM");
    int etIndex = 2;
    int pm = 4, pd = 15, hm = 9, hd = 20;
    double netIrr = 3.0;
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

// Appends and posts a working-crop row (the handle is open), as the crop
// selection and the crop inputs dialog leave it.
inline void appendWorkingCrop(TTable& wk, const WorkingCrop& c, const QString& jobName, int cropNo)
{
    wk.append();
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
    wk.field("Carry End").setAsFloat(0.25);
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
    wk.field("Sensitive").setAsBoolean(true);
    wk.field("ASW").setAsFloat(50);
    wk.field("Beg Dat").setAsString(QStringLiteral("%1/%2").arg(c.pm).arg(c.pd));
    wk.field("End Dat").setAsString(QStringLiteral("%1/%2").arg(c.hm).arg(c.hd));
    wk.field("ET Index").setAsInteger(c.etIndex);
    wk.post();
}

// Every monthly result and total that the output dialog and the reports show.
inline void expectSameResults(const CropRunContext& a, const CropRunContext& b, const char* where)
{
    SCOPED_TRACE(where);
    for (int m = 1; m <= 12; ++m) {
        SCOPED_TRACE(m);
        EXPECT_DOUBLE_EQ(a.MonthlyCropET[m], b.MonthlyCropET[m]);
        EXPECT_DOUBLE_EQ(a.EffPrecip50[m], b.EffPrecip50[m]);
        EXPECT_DOUBLE_EQ(a.EffPrecip80[m], b.EffPrecip80[m]);
        EXPECT_DOUBLE_EQ(a.NetIrrReq50[m], b.NetIrrReq50[m]);
        EXPECT_DOUBLE_EQ(a.NetIrrReq80[m], b.NetIrrReq80[m]);
        EXPECT_DOUBLE_EQ(a.PeakDailyET[m], b.PeakDailyET[m]);
        EXPECT_DOUBLE_EQ(a.DailyCropET[m], b.DailyCropET[m]);
        EXPECT_DOUBLE_EQ(a.MonthlyKc[m], b.MonthlyKc[m]);
    }
    EXPECT_DOUBLE_EQ(a.TotalCropET, b.TotalCropET);
    EXPECT_DOUBLE_EQ(a.TotalNetIrrReq50, b.TotalNetIrrReq50);
    EXPECT_DOUBLE_EQ(a.TotalNetIrrReq80, b.TotalNetIrrReq80);
}

} // namespace quen::test
