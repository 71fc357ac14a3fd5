// Placeholders of the charts, the job summary and the climate input details
// until their windows arrive: each says plainly that it is not available.
#include "Outputs.h"

#include "MessageService.h"

namespace quen::output {

void showCurvesChart(QWidget*, CropRunContext&, CropCurveState&)
{
    showInfo(QStringLiteral("The curves chart is not available in this version."));
}

void showBarChart(QWidget*, CropRunContext&, CropCurveState&)
{
    showInfo(QStringLiteral("The bar chart is not available in this version."));
}

void previewJobSummaryReport(QWidget*, CropRunContext&, CropCurveState&)
{
    showInfo(QStringLiteral("The job crop summary report is not available in this version."));
}

void previewClimDetailReport(QWidget*, CropRunContext&, CropCurveState&)
{
    showInfo(QStringLiteral("The climate input details report is not available in this version."));
}

} // namespace quen::output
