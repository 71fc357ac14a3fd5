// The output dialog, the crop pick dialog and the previews of the two
// single-crop reports, as the main window reaches them through Outputs.h.
#include <QApplication>

#include "CropReportDlg.h"
#include "CropReports.h"
#include "CropRunContext.h"
#include "MainDMod.h"
#include "Outputdlg.h"
#include "Outputs.h"
#include "PreviewWindow.h"

namespace quen::output {

namespace {

bool metricUnits() { return mainprog::DMod && mainprog::DMod->MetricUnits; }

PreviewHook& previewHookRef()
{
    static PreviewHook hook;
    return hook;
}

void show(QWidget* parent, const report::PreparedReport& pages, const QList<report::CsvTable>& csv)
{
    if (previewHookRef()) {
        previewHookRef()(pages, csv);
        return;
    }
    report::showPreview(pages, parent, csv);
}

ModalRunner& modalRunnerRef()
{
    static ModalRunner runner;
    return runner;
}

int runModal(QDialog& dlg) { return modalRunnerRef() ? modalRunnerRef()(dlg) : dlg.exec(); }

} // namespace

void showPreparedReport(QWidget* parent, const report::PreparedReport& pages, const QList<report::CsvTable>& csv)
{
    show(parent, pages, csv);
}

void setModalRunner(ModalRunner runner) { modalRunnerRef() = std::move(runner); }

PreviewHook setPreviewHook(PreviewHook hook)
{
    PreviewHook previous = std::move(previewHookRef());
    previewHookRef() = std::move(hook);
    return previous;
}

void showOutputDialog(QWidget* parent, CropRunContext& ctx, CropCurveState& curves)
{
    TOutputdlg dlg(ctx, curves, parent);
    runModal(dlg);
}

bool pickReportCrop(QWidget* parent, CropRunContext& ctx)
{
    if (mainprog::DMod && !mainprog::DMod->tblQuenWkCrop->isOpen())
        mainprog::DMod->tblQuenWkCrop->open();
    TCropReportDlg dlg(ctx, parent);
    runModal(dlg);
    return !dlg.ReportCancelled;
}

void previewJobCropReport(QWidget* parent, CropRunContext& ctx, CropCurveState&)
{
    std::unique_ptr<TFrmQRJobCrop> form;
    if (metricUnits())
        form = std::make_unique<TFrmQRJobCropM>(ctx);
    else
        form = std::make_unique<TFrmQRJobCrop>(ctx);
    const report::PreparedReport pages = form->prepare();
    show(parent, pages, form->csvTables());
}

void previewCropDetailReport(QWidget* parent, CropRunContext& ctx, CropCurveState&)
{
    std::unique_ptr<TFrmQRCropDetail> form;
    if (metricUnits())
        form = std::make_unique<TFrmQRCropDetailM>(ctx);
    else
        form = std::make_unique<TFrmQRCropDetail>(ctx);
    const report::PreparedReport pages = form->prepare();
    show(parent, pages, form->csvTables());
}

} // namespace quen::output
