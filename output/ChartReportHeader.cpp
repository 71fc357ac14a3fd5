#include "ChartReportHeader.h"

#include <vector>

#include "CropRunContext.h"
#include "Report.h"
#include "ReportNumbers.h"

namespace quen {

using namespace report;

double AddChartReportHeader(Band& d, const CropRunContext& c, const ChartHeaderOptions& opt)
{
    const FontSpec text(9);
    const FontSpec bold(9, true);
    const double lh = 13;
    auto pair = [&](double y, const QString& l1, const QString& v1, const QString& l2, const QString& v2) {
        d.addLabel(QRectF(0, y, 90, 0), l1, text);
        d.addLabel(QRectF(90, y, 200, 0), v1, bold);
        d.addLabel(QRectF(300, y, 80, 0), l2, text);
        d.addLabel(QRectF(380, y, 160, 0), v2, bold);
    };
    pair(0, QStringLiteral("Job:"), c.JobName, QStringLiteral("Crop:"), c.CropName);
    pair(lh, QStringLiteral("Location:"), c.JobLocation, QStringLiteral("Date:"), c.JobDate);
    pair(2 * lh, QStringLiteral("ID:"), c.JobID, QStringLiteral("Job Class:"), c.JobClass);
    pair(3 * lh, QStringLiteral("Land User:"), c.JobLandUser, QStringLiteral("Job Planner:"), c.JobPlanner);
    pair(4 * lh, QStringLiteral("Compute Method:"), c.ETMethodText, QStringLiteral("Crop Curve:"), c.CropCurveType);
    pair(5 * lh, QStringLiteral("Begin Growth:"), QStringLiteral("%1/%2").arg(c.PlantMonth).arg(c.PlantDay),
         QStringLiteral("End Growth:"), QStringLiteral("%1/%2").arg(c.HarvestMonth).arg(c.HarvestDay));

    const QString unit = opt.metric ? QStringLiteral("cm") : QStringLiteral("inches");
    const double net = opt.metric ? c.NetIrrDepthCm : c.NetIrrDepth;
    const double beg = opt.metric ? c.CarryBegCm : c.CarryBeg;
    const double end = opt.metric ? c.CarryEndCm : c.CarryEnd;
    const bool inputsShown = c.CurveIndex != 3 && c.CurveIndex != 4 && c.CurveIndex != 5;

    double y = 6 * lh;
    d.addLabel(QRectF(0, y, 135, 0), QStringLiteral("Net irrigation application:"), text);
    d.addLabel(QRectF(135, y, 40, 0), output::GeneralNumberText(net), bold, Qt::AlignRight);
    d.addLabel(QRectF(180, y, 40, 0), unit, text);
    Label* irrLabel = d.addLabel(QRectF(300, y, 80, 0), QStringLiteral("Irrigation Type:"), text);
    Label* irrValue = d.addLabel(QRectF(380, y, 160, 0), c.IrrigationType, bold);
    irrLabel->setVisible(inputsShown || opt.irrigationLabelAlways);
    irrValue->setVisible(inputsShown);

    y += lh;
    d.addLabel(QRectF(0, y, 225, 0), QStringLiteral("Estimated carryover moisture used at season:"), text);
    d.addLabel(QRectF(228, y, 34, 0), QStringLiteral("Begin:"), text);
    d.addLabel(QRectF(262, y, 36, 0), output::GeneralNumberText(beg), bold, Qt::AlignRight);
    d.addLabel(QRectF(302, y, 72, 0), opt.carryMidUnit, text);
    d.addLabel(QRectF(374, y, 36, 0), output::GeneralNumberText(end), bold, Qt::AlignRight);
    d.addLabel(QRectF(414, y, 40, 0), unit, text);

    y += lh;
    std::vector<Label*> inputs;
    inputs.push_back(d.addLabel(QRectF(0, y, 90, 0), QStringLiteral("Surface Soil:"), text));
    inputs.push_back(d.addLabel(QRectF(90, y, 200, 0), c.Soil, bold));
    inputs.push_back(d.addLabel(QRectF(300, y, 125, 0), QStringLiteral("Wetting (Development): "), text));
    inputs.push_back(d.addLabel(QRectF(425, y, 18, 0), QString::number(c.DaysWetDeveloped), bold, Qt::AlignRight));
    inputs.push_back(d.addLabel(QRectF(446, y, 25, 0), QStringLiteral("days"), text));
    inputs.push_back(d.addLabel(QRectF(300, y + lh, 125, 0), QStringLiteral("(Mature):"), text, Qt::AlignRight));
    inputs.push_back(d.addLabel(QRectF(425, y + lh, 18, 0), QString::number(c.DaysWetMature), bold, Qt::AlignRight));
    inputs.push_back(d.addLabel(QRectF(446, y + lh, 25, 0), QStringLiteral("days"), text));
    for (Label* l : inputs)
        l->setVisible(inputsShown);
    y += lh;
    if (opt.cuttingsLines) {
        const bool cuts = c.CurveIndex == 2 && c.HayFlag;
        Label* ls[6] = {
            d.addLabel(QRectF(0, y, 105, 0), QStringLiteral("Number of Cuttings:"), text),
            d.addLabel(QRectF(105, y, 30, 0), QString::number(c.Cuttings), bold),
            d.addLabel(QRectF(0, y + lh, 45, 0), QStringLiteral("1st cut:"), text),
            d.addLabel(QRectF(45, y + lh, 45, 0), c.FirstCuttingText, bold),
            d.addLabel(QRectF(100, y + lh, 50, 0), QStringLiteral("Last Cut:"), text),
            d.addLabel(QRectF(150, y + lh, 45, 0), c.LastCuttingText, bold),
        };
        for (Label* l : ls)
            l->setVisible(cuts);
    }
    return y + lh + 6;
}

} // namespace quen
