// The report commands' dispatch to the report previews.
#include "Outputs.h"

namespace quen::output {

void previewReport(QWidget* parent, ReportKind kind, CropRunContext& ctx, CropCurveState& curves)
{
    switch (kind) {
    case ReportKind::JobCrop: previewJobCropReport(parent, ctx, curves); break;
    case ReportKind::CropDetail: previewCropDetailReport(parent, ctx, curves); break;
    case ReportKind::JobSummary: previewJobSummaryReport(parent, ctx, curves); break;
    case ReportKind::ClimDetail: previewClimDetailReport(parent, ctx, curves); break;
    }
}

} // namespace quen::output
