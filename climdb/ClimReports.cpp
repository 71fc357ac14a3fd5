#include "ClimReports.h"

#include "PreviewWindow.h"
#include "Report.h"
#include "Table.h"

namespace quen::climprog {

using namespace report;

std::function<void(const PreparedReport&, QWidget*)> showClimReport = [](const PreparedReport& pages, QWidget* parent) {
    showPreview(pages, parent);
};

namespace {

const FontSpec kText(9);
const FontSpec kBold(9, true);
const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

DataText::Formatter fixed(int decimals)
{
    return [decimals](const QVariant& v) {
        return v.isNull() || !v.isValid() ? QString() : QString::number(v.toDouble(), 'f', decimals);
    };
}

DataText::Formatter whole()
{
    return [](const QVariant& v) {
        return v.isNull() || !v.isValid() ? QString() : QString::number(v.toDouble(), 'f', 0);
    };
}

void footer(Report& rep)
{
    Band& f = rep.pageFooter();
    f.setHeight(18);
    f.addSystemValue(QRectF(0, 4, 200, 0), SystemValue::Date, QStringLiteral("Date:  "), kText);
    f.addSystemValue(QRectF(340, 4, 200, 0), SystemValue::PageNumber, QStringLiteral("Page:  "), kText, Qt::AlignRight);
}

// The summary under a rule: the caption in bold and the number of rows printed.
void countSummary(Report& rep, const QString& caption, double captionWidth)
{
    Band& s = rep.summary();
    s.setHeight(24);
    s.addHLine(0, 4, kPrintWidth, 1);
    s.addLabel(QRectF(0, 8, captionWidth, 0), caption, kBold);
    Label* n = s.addLabel(QRectF(captionWidth, 8, 80, 0), QString(), kBold);
    s.setBeforePrint([&rep, n](Band&, bool&) { n->setText(QString::number(rep.recordNumber())); });
}

void header(Report& rep, const QString& heading, const QString& sub)
{
    Band& h = rep.pageHeader();
    h.setHeight(sub.isEmpty() ? 28 : 44);
    h.addLabel(QRectF(0, 0, kPrintWidth, 0), heading, FontSpec(14, true), Qt::AlignHCenter);
    if (!sub.isEmpty())
        h.addLabel(QRectF(0, 20, kPrintWidth, 0), sub, FontSpec(11, true), Qt::AlignHCenter);
}

// A month table: a label column and twelve month columns of 35 points.
void monthHeader(Band& b, double y, double labelWidth)
{
    const double w = (kPrintWidth - labelWidth) / 12;
    for (int m = 0; m < 12; ++m)
        b.addLabel(QRectF(labelWidth + m * w, y, w, 0), QString::fromLatin1(kMonths[m]), kBold, Qt::AlignRight);
    b.addHLine(0, y + 13, kPrintWidth, 0.5);
}

void monthRow(Band& b, double y, double labelWidth, const QString& label, const QString& prefix, int decimals)
{
    const double w = (kPrintWidth - labelWidth) / 12;
    b.addLabel(QRectF(0, y, labelWidth, 0), label, kText);
    for (int m = 1; m <= 12; ++m)
        b.addField(QRectF(labelWidth + (m - 1) * w, y, w, 0), prefix + QString::number(m), kText, Qt::AlignRight)
            ->setFormatter(fixed(decimals));
}

// Opens the handle for the report when closed and closes it again after.
struct Opened {
    TTable& t;
    bool wasOpen;
    explicit Opened(TTable& table) : t(table), wasOpen(table.isOpen())
    {
        if (!wasOpen)
            t.open();
    }
    ~Opened()
    {
        try {
            if (!wasOpen)
                t.close();
        } catch (...) {
        }
    }
};

} // namespace

PreparedReport prepareStationDetails(TTable& clim, bool metric)
{
    Opened open(clim);
    Report rep(QStringLiteral("Climate Station Details"));
    rep.setTable(&clim);
    header(rep, QStringLiteral("Quen Climate Database"),
           metric ? QStringLiteral("Climate stations (metric units)") : QStringLiteral("Climate stations (English units)"));

    Band& d = rep.detail();
    d.setHeight(150);
    d.addHLine(0, 2, kPrintWidth, 1);
    d.addLabel(QRectF(0, 8, 80, 0), QStringLiteral("Station Name"), kBold);
    d.addField(QRectF(80, 8, 220, 0), QStringLiteral("Station Name"), kBold);
    d.addLabel(QRectF(320, 8, 90, 0), QStringLiteral("Station Number"), kText);
    d.addField(QRectF(410, 8, 130, 0), QStringLiteral("Station No"), kText);
    d.addLabel(QRectF(0, 22, 80, 0), QStringLiteral("County, State"), kText);
    d.addField(QRectF(80, 22, 220, 0), QStringLiteral("County"), kText);
    d.addLabel(QRectF(0, 36, 250, 0), QStringLiteral("Wind, Humidity and Radiation Location Name"), kText);
    d.addField(QRectF(250, 36, 290, 0), QStringLiteral("WHRLocation"), kText);
    d.addLabel(QRectF(0, 50, 50, 0), QStringLiteral("Latitude"), kText);
    d.addField(QRectF(50, 50, 60, 0), QStringLiteral("Latitude"), kText)->setFormatter(whole());
    d.addLabel(QRectF(130, 50, 55, 0), QStringLiteral("Longitude"), kText);
    d.addField(QRectF(185, 50, 60, 0), QStringLiteral("Longitude"), kText)->setFormatter(whole());
    if (metric) {
        d.addLabel(QRectF(270, 50, 80, 0), QStringLiteral("Elevation (m)"), kText);
        d.addField(QRectF(350, 50, 60, 0), QStringLiteral("ElevationM"), kText)->setFormatter(whole());
    } else {
        d.addLabel(QRectF(270, 50, 80, 0), QStringLiteral("Elevation (ft)"), kText);
        d.addField(QRectF(350, 50, 60, 0), QStringLiteral("Elevation"), kText)->setFormatter(whole());
    }
    const char* dates[4][2] = {{"Spr mo/day 28", "Spr mo/dy 28"},
                               {"Spr mo/day 32", "Spr mo/dy 32"},
                               {"Fall mo/day 28", "Fall mo/dy 28"},
                               {"Fall mo/day 32", "Fall mo/dy 32"}};
    for (int i = 0; i < 4; ++i) {
        d.addLabel(QRectF(i * 135, 64, 85, 0), QString::fromLatin1(dates[i][0]), kText);
        d.addField(QRectF(i * 135 + 85, 64, 45, 0), QString::fromLatin1(dates[i][1]), kText);
    }
    const double lw = 108;
    monthHeader(d, 82, lw);
    if (metric) {
        monthRow(d, 98, lw, QStringLiteral("Mean temp (C)"), QStringLiteral("Tm"), 1);
        monthRow(d, 110, lw, QStringLiteral("Mean min temp (C)"), QStringLiteral("TminM"), 1);
        monthRow(d, 122, lw, QStringLiteral("Mean max temp (C)"), QStringLiteral("TmaxM"), 1);
        monthRow(d, 134, lw, QStringLiteral("Precipitation (cm)"), QStringLiteral("Pm"), 2);
    } else {
        monthRow(d, 98, lw, QStringLiteral("Mean temp (F)"), QStringLiteral("T"), 1);
        monthRow(d, 110, lw, QStringLiteral("Mean min temp (F)"), QStringLiteral("Tmin"), 1);
        monthRow(d, 122, lw, QStringLiteral("Mean max temp (F)"), QStringLiteral("Tmax"), 1);
        monthRow(d, 134, lw, QStringLiteral("Precipitation (in)"), QStringLiteral("P"), 2);
    }
    footer(rep);
    return rep.prepare();
}

namespace {

void listColumns(Band& ch, Band& d, bool withCounty)
{
    struct Col {
        const char* title;
        const char* field;
        double x, w;
        bool number;
    };
    QList<Col> cols;
    if (withCounty)
        cols = {{"Station Name", "Station Name", 0, 170, false}, {"Station Number", "Station No", 175, 75, false},
                {"County, State", "County", 255, 130, false},    {"Latitude", "Latitude", 390, 45, true},
                {"Longitude", "Longitude", 440, 50, true},       {"Elevation", "Elevation", 495, 45, true}};
    else
        cols = {{"Station Name", "Station Name", 0, 150, false},
                {"Station Number", "Station No", 155, 70, false},
                {"Latitude", "Latitude", 230, 45, true},
                {"Longitude", "Longitude", 280, 50, true},
                {"Elevation", "Elevation", 335, 45, true},
                {"Wind, Humidity & Rad. Sta. Loc.", "WHRLocation", 385, 155, false}};
    ch.setHeight(18);
    d.setHeight(13);
    for (const Col& c : cols) {
        const Qt::Alignment a = c.number ? Qt::AlignRight : Qt::AlignLeft;
        ch.addLabel(QRectF(c.x, 2, c.w, 0), QString::fromLatin1(c.title), kBold, a);
        DataText* f = d.addField(QRectF(c.x, 0, c.w, 0), QString::fromLatin1(c.field), kText, a);
        if (c.number)
            f->setFormatter(whole());
    }
    ch.addHLine(0, 15, kPrintWidth, 0.5);
}

} // namespace

PreparedReport prepareStationListByCounty(TTable& clim)
{
    Opened open(clim);
    const QString oldIndex = clim.indexName();
    clim.setIndexName(QStringLiteral("CountyIndex"));
    struct Back {
        TTable& t;
        QString index;
        ~Back()
        {
            try {
                if (t.isOpen())
                    t.setIndexName(index);
            } catch (...) {
            }
        }
    } back{clim, oldIndex};
    Report rep(QStringLiteral("Climate Stations by County"));
    rep.setTable(&clim);
    header(rep, QStringLiteral("Quen Climate Database"), QStringLiteral("List of Stations by County"));
    Band& d = rep.detail();
    Group& g = rep.addGroup(QStringLiteral("County"));
    g.setRepeatHeader(true);
    Band& gh = g.header();
    gh.setHeight(36);
    gh.addLabel(QRectF(0, 4, 50, 0), QStringLiteral("County: "), FontSpec(10, true));
    gh.addField(QRectF(50, 4, 300, 0), QStringLiteral("County"), FontSpec(10, true));
    // Column titles under each county heading.
    struct Col {
        const char* title;
        double x, w;
        bool number;
    };
    const Col cols[] = {{"Station Name", 0, 150, false}, {"Station Number", 155, 70, false}, {"Latitude", 230, 45, true},
                        {"Longitude", 280, 50, true},    {"Elevation", 335, 45, true},
                        {"Wind, Humidity & Rad. Sta. Loc.", 385, 155, false}};
    for (const Col& c : cols)
        gh.addLabel(QRectF(c.x, 20, c.w, 0), QString::fromLatin1(c.title), kBold, c.number ? Qt::AlignRight : Qt::AlignLeft);
    gh.addHLine(0, 33, kPrintWidth, 0.5);
    Band unused(&rep, BandType::ColumnHeader);
    listColumns(unused, d, false);
    g.footer().setHeight(8);
    countSummary(rep, QStringLiteral("TOTAL NUMBER OF STATIONS:"), 200);
    footer(rep);
    return rep.prepare();
}

PreparedReport prepareStationList(TTable& clim)
{
    Opened open(clim);
    Report rep(QStringLiteral("Climate Stations"));
    rep.setTable(&clim);
    header(rep, QStringLiteral("Quen Climate Database"), QStringLiteral("List of Stations"));
    listColumns(rep.columnHeader(), rep.detail(), true);
    countSummary(rep, QStringLiteral("Total Number of Stations:"), 150);
    footer(rep);
    return rep.prepare();
}

PreparedReport prepareLocationList(TTable& whr)
{
    Opened open(whr);
    Report rep(QStringLiteral("Print List of wind, Humidity, Radiation Data Locations"));
    rep.setTable(&whr);
    header(rep, QStringLiteral("Quen: Wind, Humidity and Radiation Database"), QStringLiteral("List of Locations"));
    Band& d = rep.detail();
    d.setHeight(14);
    d.addField(QRectF(0, 0, 290, 0), QStringLiteral("WHRLocation"), kText);
    d.addLabel(QRectF(300, 0, 50, 0), QStringLiteral("Latitude:"), kText);
    d.addField(QRectF(350, 0, 50, 0), QStringLiteral("Latitude"), kText, Qt::AlignRight)->setFormatter(whole());
    d.addLabel(QRectF(420, 0, 60, 0), QStringLiteral("Longitude:"), kText);
    d.addField(QRectF(480, 0, 55, 0), QStringLiteral("Longitude"), kText, Qt::AlignRight)->setFormatter(whole());
    countSummary(rep, QStringLiteral("Total Number of Locations:"), 160);
    footer(rep);
    return rep.prepare();
}

PreparedReport prepareLocationDetails(TTable& whr)
{
    Opened open(whr);
    Report rep(QStringLiteral("Print Wind Humidity, Radiation Details"));
    rep.setTable(&whr);
    header(rep, QStringLiteral("Quen: Wind, Humidity and Radiation database"), QString());
    Band& d = rep.detail();
    d.setHeight(252);
    d.addHLine(0, 2, kPrintWidth, 1);
    d.addField(QRectF(0, 8, 400, 0), QStringLiteral("WHRLocation"), FontSpec(10, true));
    d.addField(QRectF(0, 22, 180, 0), QStringLiteral("StationType"), kText);
    d.addLabel(QRectF(185, 22, 80, 0), QStringLiteral("Height (m):"), kText);
    d.addField(QRectF(265, 22, 40, 0), QStringLiteral("StationHeight"), kText)->setFormatter(fixed(1));
    d.addField(QRectF(320, 22, 150, 0), QStringLiteral("StationLoc"), kText);
    d.addLabel(QRectF(0, 36, 50, 0), QStringLiteral("Latitude:"), kText);
    d.addField(QRectF(50, 36, 50, 0), QStringLiteral("Latitude"), kText)->setFormatter(whole());
    d.addLabel(QRectF(120, 36, 60, 0), QStringLiteral("Longitude:"), kText);
    d.addField(QRectF(180, 36, 60, 0), QStringLiteral("Longitude"), kText)->setFormatter(whole());
    const double lw = 108;
    monthHeader(d, 54, lw);
    struct Row {
        const char* label;
        const char* prefix;
        int decimals;
    };
    const Row rows[] = {{"RH min (%)", "RHmin", 0},         {"RH max (%)", "RHmax", 0},
                        {"Tmin corr. (C)", "Cor", 1},        {"Wind U2 (mph)", "U2", 2},
                        {"Wind U2 (km/day)", "U2m", 1},      {"Rs (langley/day)", "Rs", 0},
                        {"Rs (MJ/m2/day)", "Rsm", 2},        {"Angstrom as", "As", 2},
                        {"Angstrom bs", "Bs", 2},            {"Sunshine n (hr/day)", "N", 1}};
    double y = 70;
    for (const Row& r : rows) {
        monthRow(d, y, lw, QString::fromLatin1(r.label), QString::fromLatin1(r.prefix), r.decimals);
        y += 12;
    }
    d.addLabel(QRectF(0, y + 4, 110, 0), QStringLiteral("Site Description/Notes:"), kText);
    d.addField(QRectF(110, y + 4, 430, 0), QStringLiteral("Site Description/Notes"), kText)->setWordWrap(true);
    footer(rep);
    return rep.prepare();
}

} // namespace quen::climprog
