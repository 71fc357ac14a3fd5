// The job and crop header of the graph and bar reports.
#pragma once

#include <QString>

namespace quen {

struct CropRunContext;

namespace report {
class Band;
}

struct ChartHeaderOptions {
    bool metric = false;
    QString carryMidUnit;           // "inches   End:" / "cm       End:"
    bool cuttingsLines = false;     // graph report: cuttings of a hay crop
    bool irrigationLabelAlways = false;   // graph report: the label prints for every curve
};

// Adds the header labels at the top of the band; returns the height used.
double AddChartReportHeader(report::Band& band, const CropRunContext& ctx, const ChartHeaderOptions& opt);

} // namespace quen
