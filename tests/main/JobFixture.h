// Helpers of the job tests: the working-crop rows (WorkingCrops.h) and the
// comparison of computed results.
#pragma once

#include <QString>
#include <gtest/gtest.h>

#include "ComputeCrop.h"
#include "CropRunContext.h"
#include "Table.h"
#include "WorkingCrops.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace quen::test {

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
