// Entry points through which the main window reaches the main program's
// outputs: the output dialog of the crop computed last, the crop pick dialog
// of the report commands, the report previews and the two charts. Each shows
// its window modally (reports in the report engine's preview) and reads the
// computation context as the last ComputeCrop left it; metric variants are
// chosen by the data module's MetricUnits.
#pragma once

#include <functional>

class QDialog;
class QWidget;

namespace quen {
struct CropRunContext;
struct CropCurveState;
}

namespace quen::output {

// The printed reports of the main program.
enum class ReportKind {
    JobCrop,     // "Single Crop Report": TFrmQRJobCrop / TFrmQRJobCropM
    CropDetail,  // "Single Crop Details": TFrmQRCropDetail / TFrmQRCropDetailM
    JobSummary,  // "Job Crop Summary": TFrmQRSumRpt / TFrmQRSumRptM
    ClimDetail,  // "Climate Input Details": TFrmQRClimDetail
};

// How the output dialog and the crop pick dialog are run modally: empty, by
// their own exec(). The main program routes them through its modal driver,
// so that a test acts on them as a user does, without a modal wait.
using ModalRunner = std::function<int(QDialog&)>;
void setModalRunner(ModalRunner runner);

// TOutputdlg, modal, for the crop computed last.
void showOutputDialog(QWidget* parent, CropRunContext& ctx, CropCurveState& curves);

// TCropReportDlg, modal. True on OK: the context's crop name is the chosen
// crop and the working-crop table ("QuenWkCrop.DB", open) stands on it.
// False on Cancel.
bool pickReportCrop(QWidget* parent, CropRunContext& ctx);

// Previews one report in the variant MetricUnits selects.
void previewReport(QWidget* parent, ReportKind kind, CropRunContext& ctx, CropCurveState& curves);

// The previews behind previewReport, one per report (each picks its English
// or metric variant by MetricUnits).
void previewJobCropReport(QWidget* parent, CropRunContext& ctx, CropCurveState& curves);
void previewCropDetailReport(QWidget* parent, CropRunContext& ctx, CropCurveState& curves);
void previewJobSummaryReport(QWidget* parent, CropRunContext& ctx, CropCurveState& curves);
void previewClimDetailReport(QWidget* parent, CropRunContext& ctx, CropCurveState& curves);

// TCurvesForm (ETChart and KcChart) and TBarChart, modal.
void showCurvesChart(QWidget* parent, CropRunContext& ctx, CropCurveState& curves);
void showBarChart(QWidget* parent, CropRunContext& ctx, CropCurveState& curves);

} // namespace quen::output
