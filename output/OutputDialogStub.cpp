// Placeholders of the output dialog, the crop pick dialog and the crop
// reports until their windows arrive: each says plainly that it is not
// available.
#include "Outputs.h"

#include "MessageService.h"

namespace quen::output {

void showOutputDialog(QWidget*, CropRunContext&, CropCurveState&)
{
    showInfo(QStringLiteral("The output dialog is not available in this version."));
}

bool pickReportCrop(QWidget*, CropRunContext&)
{
    showInfo(QStringLiteral("The crop report dialog is not available in this version."));
    return false;
}

void previewJobCropReport(QWidget*, CropRunContext&, CropCurveState&)
{
    showInfo(QStringLiteral("The single crop report is not available in this version."));
}

void previewCropDetailReport(QWidget*, CropRunContext&, CropCurveState&)
{
    showInfo(QStringLiteral("The single crop details report is not available in this version."));
}

} // namespace quen::output
