#include "ClimDetailReport.h"

#include "CropRunContext.h"
#include "Outputs.h"
#include "PreviewWindow.h"
#include "Report.h"
#include "ReportNumbers.h"
#include "Table.h"
#include "Hourglass.h"

namespace quen {

using namespace report;

namespace {

const char* const kMonthName[13] = {"",     "January", "February", "March",     "April",   "May",     "June",
                                    "July", "August",  "September", "October", "November", "December"};

QString N(const char* prefix, int m) { return QString::fromLatin1(prefix) + QString::number(m); }

} // namespace

TFrmQRClimDetail::TFrmQRClimDetail(const CropRunContext& ctx, TTable* clim, TTable* whr)
    : m_ctx(ctx), m_clim(clim), m_whr(whr), m_report(std::make_unique<Report>(QStringLiteral("Climatic Data Input")))
{
    FormCreate();
    build();
}

TFrmQRClimDetail::~TFrmQRClimDetail() { FormClose(); }

PreparedReport TFrmQRClimDetail::prepare() { return m_report->prepare(); }

void TFrmQRClimDetail::FormCreate()
{
    m_climWasClosed = !m_clim->isOpen();
    if (m_climWasClosed)
        m_clim->open();
    // a station that is not found leaves the table where it stood
    m_clim->locate(QStringLiteral("Station Name"), m_ctx.WeatherStationName);
    m_whrWasClosed = !m_whr->isOpen();
    if (m_whrWasClosed)
        m_whr->open();
    if (!m_clim->isEmpty())
        m_whr->locate(QStringLiteral("WHRLocation"), m_clim->field(QStringLiteral("WHRLocation")).asString());
}

void TFrmQRClimDetail::FormClose()
{
    try {
        if (m_climWasClosed)
            m_clim->close();
        if (m_whrWasClosed)
            m_whr->close();
    } catch (...) {
    }
}

void TFrmQRClimDetail::build()
{
    Report& rep = *m_report;
    const CropRunContext& c = m_ctx;
    const FontSpec text(9);
    const FontSpec bold(9, true);
    const FontSpec small(8);
    const FontSpec head(7.5);

    Band& ph = rep.pageHeader();
    ph.setHeight(38);
    ph.addLabel(QRectF(0, 0, kPrintWidth, 0), QStringLiteral("Quen"), FontSpec(14, true), Qt::AlignHCenter);
    ph.addLabel(QRectF(0, 19, kPrintWidth, 0), QStringLiteral("Climatic Data Input"), FontSpec(12, true),
                Qt::AlignHCenter);

    Band& t = rep.titleBand();
    t.setHeight(660);

    // ---- job and crop header ---------------------------------------------------
    auto pair = [&](double y, const QString& l1, const QString& v1, const QString& l2, const QString& v2) {
        t.addLabel(QRectF(0, y, 95, 0), l1, text);
        t.addLabel(QRectF(95, y, 200, 0), v1, bold);
        if (!l2.isEmpty()) {
            t.addLabel(QRectF(300, y, 80, 0), l2, text);
            t.addLabel(QRectF(380, y, 160, 0), v2, bold);
        }
    };
    pair(0, QStringLiteral("Job:"), c.JobName, QStringLiteral("Crop:"), c.CropName);
    pair(12, QStringLiteral("Location:"), c.JobLocation, QStringLiteral("Date:"), c.JobDate);
    pair(24, QStringLiteral("Weather Station:"), c.WeatherStationName, QStringLiteral("Sta No:"), c.StationNumber);
    pair(36, QStringLiteral("Latitude:"), output::GeneralNumberText(c.Latitude), QStringLiteral("Longitude:"),
         output::GeneralNumberText(c.Longitude));
    t.addLabel(QRectF(0, 48, 95, 0), QStringLiteral("Elevation:"), text);
    t.addLabel(QRectF(95, 48, 50, 0), output::FixedNumberText(c.Elevation, 0), bold, Qt::AlignRight);
    t.addLabel(QRectF(150, 48, 150, 0), QStringLiteral("feet above sea level"), text);
    t.addLabel(QRectF(95, 60, 50, 0), output::FixedNumberText(c.Elevation * 0.3048, 1, 5), bold, Qt::AlignRight);
    t.addLabel(QRectF(150, 60, 150, 0), QStringLiteral("meters above sea level"), text);
    pair(72, QStringLiteral("Compute Method:"), c.ETMethodText, QStringLiteral("Crop Curve:"), c.CropCurveType);
    pair(84, QStringLiteral("Begin Growth:"), QStringLiteral("%1/%2").arg(c.PlantMonth).arg(c.PlantDay),
         QStringLiteral("End Growth:"), QStringLiteral("%1/%2").arg(c.HarvestMonth).arg(c.HarvestDay));

    t.addLabel(QRectF(0, 96, 135, 0), QStringLiteral("Net irrigation application:"), text);
    t.addLabel(QRectF(135, 96, 30, 0), output::GeneralNumberText(c.NetIrrDepth), bold, Qt::AlignRight);
    t.addLabel(QRectF(168, 96, 45, 0), QStringLiteral("inches   ("), text);
    t.addLabel(QRectF(213, 96, 34, 0), output::FixedNumberText(c.NetIrrDepth * 2.54, 2, 5), bold, Qt::AlignRight);
    t.addLabel(QRectF(250, 96, 30, 0), QStringLiteral("cm )"), text);

    std::vector<Element*> inputs;   // hidden for the Blaney-Criddle and FAO 56 curves
    inputs.push_back(t.addLabel(QRectF(300, 96, 80, 0), QStringLiteral("Irrigation Type:"), text));
    inputs.push_back(t.addLabel(QRectF(380, 96, 160, 0), c.IrrigationType, bold));

    t.addLabel(QRectF(0, 108, 225, 0), QStringLiteral("Estimated carryover moisture used at season:"), text);
    t.addLabel(QRectF(228, 108, 34, 0), QStringLiteral("Begin:"), text);
    t.addLabel(QRectF(262, 108, 34, 0), output::GeneralNumberText(c.CarryBeg), bold, Qt::AlignRight);
    t.addLabel(QRectF(300, 108, 60, 0), QStringLiteral("inches  End:"), text);
    t.addLabel(QRectF(360, 108, 34, 0), output::GeneralNumberText(c.CarryEnd), bold, Qt::AlignRight);
    t.addLabel(QRectF(398, 108, 40, 0), QStringLiteral("inches"), text);
    t.addLabel(QRectF(262, 120, 34, 0), output::FixedNumberText(c.CarryBeg * 2.54, 2, 5), bold, Qt::AlignRight);
    t.addLabel(QRectF(300, 120, 40, 0), QStringLiteral("cm"), text);
    t.addLabel(QRectF(360, 120, 34, 0), output::FixedNumberText(c.CarryEnd * 2.54, 2, 5), bold, Qt::AlignRight);
    t.addLabel(QRectF(398, 120, 40, 0), QStringLiteral("cm"), text);

    inputs.push_back(t.addLabel(QRectF(0, 134, 95, 0), QStringLiteral("Surface Soil:"), text));
    inputs.push_back(t.addLabel(QRectF(95, 134, 200, 0), c.Soil, bold));
    inputs.push_back(t.addLabel(QRectF(300, 134, 105, 0), QStringLiteral("Water stress factor:"), text));
    inputs.push_back(t.addLabel(QRectF(405, 134, 40, 0), output::FixedNumberText(c.StressFactor, 2, 4), bold));
    inputs.push_back(t.addLabel(QRectF(0, 146, 125, 0), QStringLiteral("Wetting (Development): "), text));
    inputs.push_back(t.addLabel(QRectF(125, 146, 22, 0), QString::number(c.DaysWetDeveloped), bold, Qt::AlignRight));
    inputs.push_back(t.addLabel(QRectF(150, 146, 30, 0), QStringLiteral("days"), text));
    inputs.push_back(t.addLabel(QRectF(190, 146, 50, 0), QStringLiteral("(Mature):"), text));
    inputs.push_back(t.addLabel(QRectF(240, 146, 22, 0), QString::number(c.DaysWetMature), bold, Qt::AlignRight));
    inputs.push_back(t.addLabel(QRectF(265, 146, 30, 0), QStringLiteral("days"), text));
    const bool inputsShown = c.CurveIndex != 3 && c.CurveIndex != 4 && c.CurveIndex != 5;
    for (Element* e : inputs)
        e->setVisible(inputsShown);

    // Table cells are filled from the positioned records when the band prints.
    struct Cell {
        Label* label;
        TTable* table;
        QString field;
        QString ifEmpty;   // printed for an empty field (a date that is not known)
    };
    auto cells = std::make_shared<std::vector<Cell>>();
    auto cell = [&](const QRectF& r, TTable* tb, const QString& field, const FontSpec& f = FontSpec(8),
                    Qt::Alignment a = Qt::AlignRight) {
        Label* l = t.addLabel(r, QString(), f, a);
        cells->push_back({l, tb, field, QString()});
        return l;
    };

    // ---- temperature and precipitation --------------------------------------------
    double y = 164;
    t.addHLine(0, y, kPrintWidth, 0.75);
    t.addLabel(QRectF(0, y + 4, kPrintWidth, 0), QStringLiteral("Temperature & Precipitation  Data"), FontSpec(10, true));
    y += 20;
    const double monthX = 92, monthW = 68, colW = 47.5;
    auto col = [&](int i) { return monthX + monthW + i * colW; };   // i = 0..7
    const char* tHead[4] = {"Max Temp", "Min Temp", "Temperature", "Precipitation"};
    for (int g = 0; g < 4; ++g) {
        t.addLabel(QRectF(col(2 * g), y, 2 * colW, 0), QStringLiteral("Monthly Avg"), head, Qt::AlignHCenter);
        t.addLabel(QRectF(col(2 * g), y + 10, 2 * colW, 0), QString::fromLatin1(tHead[g]), head, Qt::AlignHCenter);
        const bool pcp = g == 3;
        t.addLabel(QRectF(col(2 * g), y + 20, colW - 4, 0), pcp ? QStringLiteral("inches") : QStringLiteral("deg F"),
                   head, Qt::AlignRight);
        t.addLabel(QRectF(col(2 * g + 1), y + 20, colW - 4, 0), pcp ? QStringLiteral("cm") : QStringLiteral("deg C"),
                   head, Qt::AlignRight);
    }
    y += 32;
    t.addHLine(monthX, y - 1, col(8) - monthX, 0.5);
    const char* tFields[8] = {"Tmax", "TmaxM", "Tmin", "TminM", "T", "Tm", "P", "Pm"};
    const double rowH = 11.5;
    for (int m = 1; m <= 12; ++m) {
        const double ry = y + (m - 1) * rowH;
        t.addLabel(QRectF(monthX, ry, monthW, 0), QString::fromLatin1(kMonthName[m]), FontSpec(8));
        for (int i = 0; i < 8; ++i)
            cell(QRectF(col(i), ry, colW - 4, 0), m_clim, N(tFields[i], m));
    }
    // frost dates in the left margin: label on one row, value on the next
    const struct {
        const char* label;
        const char* field;
        int row;
    } frost[4] = {{"Spr mo/day 28", "Spr mo/dy 28", 1},
                  {"Fall mo/day 28", "Fall mo/dy 28", 4},
                  {"Spr mo/day 32", "Spr mo/dy 32", 7},
                  {"Fall mo/day 32", "Fall mo/dy 32", 10}};
    for (const auto& f : frost) {
        const double ry = y + (f.row - 1) * rowH;
        t.addLabel(QRectF(0, ry, 88, 0), QString::fromLatin1(f.label), FontSpec(8));
        cell(QRectF(0, ry + rowH, 88, 0), m_clim, QString::fromLatin1(f.field), FontSpec(8, true), Qt::AlignLeft);
        cells->back().ifEmpty = QStringLiteral("not known");
    }
    y += 12 * rowH + 8;

    // ---- wind, humidity and solar radiation --------------------------------------------
    t.addHLine(0, y, kPrintWidth, 0.75);
    t.addLabel(QRectF(0, y + 4, 330, 0), QStringLiteral("Wind, Humidity and Solar Radiation Source Location"),
               FontSpec(10, true));
    std::vector<Label*> whrValues;   // not printed for the Blaney-Criddle method
    t.addLabel(QRectF(340, y + 5, 45, 0), QStringLiteral("Latitude"), text);
    whrValues.push_back(cell(QRectF(385, y + 5, 50, 0), m_whr, QStringLiteral("Latitude"), bold, Qt::AlignLeft));
    t.addLabel(QRectF(435, y + 5, 52, 0), QStringLiteral("Longitude"), text);
    whrValues.push_back(cell(QRectF(487, y + 5, 53, 0), m_whr, QStringLiteral("Longitude"), bold, Qt::AlignLeft));
    whrValues.push_back(cell(QRectF(0, y + 18, kPrintWidth, 0), m_whr, QStringLiteral("WHRLocation"), bold,
                             Qt::AlignLeft));
    y += 34;
    // columns: month, RHmin, RHmax, U2 mi/hr, U2 km/day, Cor, Rs lang, Rs MJ, as, bs, n
    const double w[11] = {62, 44, 44, 40, 44, 64, 44, 52, 36, 36, 56};
    double x[12];
    x[0] = 0;
    for (int i = 0; i < 11; ++i)
        x[i + 1] = x[i] + w[i];
    auto headCol = [&](int from, int to, const QStringList& lines) {
        for (int i = 0; i < lines.size(); ++i)
            t.addLabel(QRectF(x[from], y + i * 9, x[to + 1] - x[from] - 2, 0), lines[i], head, Qt::AlignHCenter);
    };
    headCol(1, 1, {QStringLiteral("Minimum"), QStringLiteral("Relative"), QStringLiteral("Humidity")});
    headCol(2, 2, {QStringLiteral("Maximum"), QStringLiteral("Relative"), QStringLiteral("Humidity")});
    headCol(3, 4, {QStringLiteral("Avg Wind"), QStringLiteral("Speed"), QStringLiteral("   [U2]")});
    headCol(5, 5, {QStringLiteral("Correction of"), QStringLiteral("Tmin for actual"), QStringLiteral("vapor pressure"),
                   QStringLiteral("(FAO eq 48)")});
    headCol(6, 7, {QStringLiteral("Incomming"), QStringLiteral("Solar Rad."), QStringLiteral("[Rs]")});
    headCol(8, 9, {QStringLiteral("Coefficients"), QStringLiteral("formula for "), QStringLiteral("clear sky"),
                   QStringLiteral("radiation")});
    headCol(10, 10, {QStringLiteral("Actual duration"), QStringLiteral("of sunshine"), QStringLiteral("(n)")});
    const char* units[10] = {"RHmin%", "RHmax%", "mi/hr", "km/day", "deg C", "lang/day", "MJ/m2/day", "as", "bs",
                             "(hrs/day)"};
    for (int i = 0; i < 10; ++i)
        t.addLabel(QRectF(x[i + 1], y + 38, w[i + 1] - 2, 0), QString::fromLatin1(units[i]), head, Qt::AlignHCenter);
    y += 50;
    t.addHLine(0, y - 1, x[11], 0.5);
    const char* wFields[10] = {"RHmin", "RHmax", "U2", "U2m", "Cor", "Rs", "Rsm", "As", "Bs", "N"};
    for (int m = 1; m <= 12; ++m) {
        const double ry = y + (m - 1) * rowH;
        t.addLabel(QRectF(0, ry, w[0], 0), QString::fromLatin1(kMonthName[m]), FontSpec(8));
        for (int i = 0; i < 10; ++i)
            whrValues.push_back(cell(QRectF(x[i + 1], ry, w[i + 1] - 8, 0), m_whr, N(wFields[i], m)));
    }
    y += 12 * rowH + 8;

    t.addLabel(QRectF(0, y, 130, 0), QStringLiteral("Type of weather station:"), text);
    whrValues.push_back(cell(QRectF(130, y, 300, 0), m_whr, QStringLiteral("StationType"), bold, Qt::AlignLeft));
    t.addLabel(QRectF(0, y + 12, 130, 0), QStringLiteral("Height of weather station:"), text);
    whrValues.push_back(cell(QRectF(130, y + 12, 40, 0), m_whr, QStringLiteral("StationHeight"), bold, Qt::AlignLeft));
    t.addLabel(QRectF(172, y + 12, 50, 0), QStringLiteral("meters"), text);
    t.addLabel(QRectF(0, y + 24, 130, 0), QStringLiteral("Weather station location:"), text);
    whrValues.push_back(cell(QRectF(130, y + 24, 300, 0), m_whr, QStringLiteral("StationLoc"), bold, Qt::AlignLeft));

    const bool blaneyCriddle = c.ETMethodText == QStringLiteral("Blaney Criddle (TR21)");
    for (Label* l : whrValues)
        l->setVisible(!blaneyCriddle);

    t.setBeforePrint([cells](Band&, bool&) {
        for (const Cell& e : *cells) {
            QString s;
            if (e.table->isOpen() && !e.table->isEmpty() && e.table->hasField(e.field)) {
                s = e.table->field(e.field).asString();
                if (s.trimmed().isEmpty())
                    s = e.ifEmpty;
            }
            e.label->setText(s);
        }
    });
}

PreparedReport prepareClimDetailReport(const CropRunContext& ctx)
{
    TTable clim(QStringLiteral("Climate.DB"));
    TTable whr(QStringLiteral("ClimWHR.DB"));
    TFrmQRClimDetail form(ctx, &clim, &whr);
    return form.prepare();
}

namespace output {

void previewClimDetailReport(QWidget* parent, CropRunContext& ctx, CropCurveState&)
{
    // Handles of its own: the data module's "Climate.DB" handle is filtered
    // to one county, where the job's station may not be found.
    PreparedReport pages;
    {
        THourglass wait;
        pages = prepareClimDetailReport(ctx);
    }
    showPreview(pages, parent);
}

} // namespace output

} // namespace quen
