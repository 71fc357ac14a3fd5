#include "CropReports.h"

#include "Report.h"
#include "Table.h"

namespace quen::cropprog {

using namespace report;

namespace {

struct Column {
    QString field;
    QString title;
    double width;
    QString pattern;   // "" = the field's own text
};

struct Item {
    QString label;
    QString field;
};

// Keeps the table's current row across the report's pass over it.
struct KeepPosition {
    TTable& t;
    int recNo;
    explicit KeepPosition(TTable& table) : t(table), recNo(table.isOpen() ? table.recNo() : 0)
    {
        if (t.isOpen() && t.state() != TTable::State::Browse) t.post();
    }
    ~KeepPosition()
    {
        try {
            if (!t.isOpen() || recNo <= 0) return;
            t.first();
            for (int i = 1; i < recNo && !t.eof(); ++i) t.next();
        } catch (...) {
        }
    }
};

void footer(Report& rep, bool pages)
{
    Band& f = rep.pageFooter();
    f.setHeight(18);
    f.addSystemValue(QRectF(0, 4, 200, 0), SystemValue::Date, QStringLiteral("Date:  "), FontSpec(9));
    if (pages)
        f.addSystemValue(QRectF(340, 4, 200, 0), SystemValue::PageNumber, QStringLiteral("Page:  "), FontSpec(9),
                         Qt::AlignRight);
}

void header(Report& rep, const QString& head, const QString& title)
{
    Band& h = rep.pageHeader();
    h.setHeight(title.isEmpty() ? 26 : 46);
    h.addLabel(QRectF(0, 0, kPrintWidth, 0), head, FontSpec(14, true), Qt::AlignHCenter);
    if (!title.isEmpty())
        h.addLabel(QRectF(0, 21, kPrintWidth, 0), title, FontSpec(12, true), Qt::AlignHCenter);
    h.addHLine(0, h.height() - 3, kPrintWidth, 0.75);
}

void countSummary(Report& rep, const QString& label, int n)
{
    if (label.isEmpty()) return;
    Band& s = rep.summary();
    s.setHeight(24);
    s.addHLine(0, 3, kPrintWidth, 0.5);
    s.addLabel(QRectF(0, 8, 300, 0), label + QStringLiteral("  ") + QString::number(n), FontSpec(10, true));
}

PreparedReport listReport(TTable& t, const QString& title, const QString& head, const QString& sub,
                          const QList<Column>& cols, const QString& countLabel, double fontSize = 9)
{
    KeepPosition keep(t);
    Report rep(title);
    rep.setTable(&t);
    header(rep, head, sub);
    const FontSpec font(fontSize);
    Band& ch = rep.columnHeader();
    Band& d = rep.detail();
    double x = 0;
    bool twoLineTitles = false;
    for (const Column& c : cols) twoLineTitles = twoLineTitles || c.title.contains(QLatin1Char('\n'));
    ch.setHeight(twoLineTitles ? 2.4 * fontSize + 6 : fontSize + 8);
    d.setHeight(fontSize + 5);
    for (const Column& c : cols) {
        const Qt::Alignment al = c.pattern.isEmpty() ? Qt::AlignLeft : Qt::AlignRight;
        ch.addLabel(QRectF(x, 0, c.width - 3, 0), c.title, FontSpec(fontSize, true), al);
        DataText* dt = d.addField(QRectF(x, 1, c.width - 3, 0), c.field, font, al);
        if (!c.pattern.isEmpty()) dt->setPattern(c.pattern);
        x += c.width;
    }
    ch.addHLine(0, ch.height() - 2, kPrintWidth, 0.5);
    countSummary(rep, countLabel, t.recordCount());
    footer(rep, true);
    return rep.prepare();
}

// One block per row: label/value pairs in two columns, then the notes.
PreparedReport blockReport(TTable& t, const QString& title, const QString& head, const QString& sub,
                           const QList<Item>& items, const QString& notesLabel, const QString& notesField,
                           const QString& countLabel = QString(), bool pages = true, bool twoColumns = true)
{
    KeepPosition keep(t);
    Report rep(title);
    rep.setTable(&t);
    header(rep, head, sub);
    const FontSpec font(9), bold(9, true);
    Band& d = rep.detail();
    double y = 6;
    d.addHLine(0, 2, kPrintWidth, 0.5);
    if (!items.isEmpty()) {
        // the first item (the name) spans the width
        d.addLabel(QRectF(0, y, 130, 0), items[0].label, bold);
        d.addField(QRectF(130, y, 410, 0), items[0].field, bold);
        y += 14;
    }
    const QList<Item> rest = items.mid(1);
    // Two columns of short values side by side, or one column where the
    // values are long texts.
    const int half = twoColumns ? int((rest.size() + 1) / 2) : int(rest.size());
    const double labelWidth = twoColumns ? 150 : 230;
    const double valueWidth = twoColumns ? 110 : 300;
    for (int i = 0; i < rest.size(); ++i) {
        const double cx = i < half ? 0 : 280;
        const double cy = y + 13 * (i < half ? i : i - half);
        d.addLabel(QRectF(cx, cy, labelWidth, 0), rest[i].label, font);
        d.addField(QRectF(cx + labelWidth + 2, cy, valueWidth, 0), rest[i].field, font);
    }
    y += 13 * half + 4;
    if (!notesField.isEmpty()) {
        d.addLabel(QRectF(0, y, 60, 0), notesLabel, font);
        d.addField(QRectF(60, y, 480, 0), notesField, font)->setWordWrap(true);
        y += 14;
    }
    d.setHeight(y + 4);
    countSummary(rep, countLabel, t.recordCount());
    footer(rep, pages);
    return rep.prepare();
}

QString hwTitle() { return QStringLiteral("Humidity/Wind"); }

} // namespace

PreparedReport prepareCropNameList(TTable& crops)
{
    return listReport(crops, QStringLiteral("Crop Name List"), QStringLiteral("Quen Crop Database"), QString(),
                      {{"Cop Name", "Crop Name", 135, {}},
                       {"Bas Crop Curve Name", "Basil Crop Curve Name", 135, {}},
                       {"BC Crop Curve Name", "BC Crop Curve Name", 120, {}},
                       {"FAOCropCurveName", "FAO Crop Curve Name", 150, {}}},
                      QStringLiteral("Total Number of Local Crops:"), 8);
}

PreparedReport prepareCropAllMarked(TTable& crops)
{
    return blockReport(crops, QStringLiteral("Crop Records All Marked"), QStringLiteral("Quen Crop Database"),
                       QString(),
                       {{"Crop Name", "Cop Name"},
                        {"Basil Crop Curve Name", "Bas Crop Curve Name"},
                        {"Basil Crop Type", "Bas Crop Type"},
                        {"Humidity/Wind", "Humidity/Wind"},
                        {"Blaney Criddle Crop Curve Name", "BC Crop Curve Name"},
                        {"Blaney Criddle Crop Type", "BC Crop Type"},
                        {"Minimum Grow Days", "Min Grow Days"},
                        {"Planting or start of growth date  Month", "Plant Mo"},
                        {"Planting or start of growth date  Day", "Plant Day"},
                        {"Harvest or end of growth date  Month", "Harvest Mo"},
                        {"Harvest or end of growth date  Day", "Harvest Day"},
                        {"Maximum Grow Days", "Max Grow Days"},
                        {"Spring Average Temperature", "SpringAvTemp"},
                        {"Fall Average Temperature", "FallAvTemp"}},
                       QStringLiteral("Notes:"), QStringLiteral("Notes"), QString(), false, false);
}

PreparedReport prepareBasalList(int kind, TTable& curves)
{
    const QString count = QStringLiteral("Total Number of Crop Curves:");
    const QString head = QStringLiteral("Quen Crop Database");
    if (kind == 0)
        return listReport(curves, QStringLiteral("Bas Field and Vegetable  List"), head,
                          QStringLiteral("Bas Field and Vegetable  List"),
                          {{"Crop Curve Name", "Crop Curve Name", 220, {}},
                           {"Climate/Wind", hwTitle(), 100, {}},
                           {"Crop Type", "Crop Type", 220, {}}},
                          count);
    if (kind == 1)
        return listReport(curves, QStringLiteral("Basil Perennial List"), head, QStringLiteral("Basil Perennial List"),
                          {{"Crop Curve Name", "Crop Curve Name", 200, {}},
                           {"Humidity/Wind", hwTitle(), 80, {}},
                           {"Growing Conditions", "Growing Conditions", 130, {}},
                           {"Ground Cover", "Ground Cover", 130, {}}},
                          count);
    // "CrpForag.DB" has no growing conditions: the column shows whether the
    // curve is a hay or a pasture curve, the grass curves' growing condition.
    return listReport(curves, QStringLiteral("Bas Forage and Grass List"), head,
                      QStringLiteral("Bas Forage and Grass List"),
                      {{"Crop Curve Name", "Crop Curve Name", 200, {}},
                       {"Climate/Wind", hwTitle(), 80, {}},
                       {"Hay", "Growing Conditions", 120, {}},
                       {"High Kc", "High Kc", 70, "0.00"},
                       {"Low Kc", "Low Kc", 70, "0.00"}},
                      count);
}

PreparedReport prepareBasalAllMarked(int kind, TTable& curves)
{
    const QString head = QStringLiteral("Quen Crop Database");
    if (kind == 0)
        return blockReport(curves, QStringLiteral("Bas Field and Vegetable All Marked"), head,
                           QStringLiteral("Bas Field and Vegetable All Marked"),
                           {{"Crop Curve Name", "Crop Curve Name"},
                            {"Humidity/Wind", "Climate/Wind"},
                            {"Crop Type", "Crop Type"},
                            {"Kcb", "Kcb"},
                            {"Kcp", "Kcp"},
                            {"Kcm", "Kcm"}},
                           QStringLiteral("Notes:"), QStringLiteral("Notes"), QString(), true, false);
    if (kind == 1) {
        QList<Item> items{{"Crop Curve Name", "Crop Curve Name"},
                          {"Humidity/Wind", "Humidity/Wind"},
                          {"Growing Conditions", "Growing Conditions"},
                          {"Ground Cover", "Ground Cover"}};
        for (const char* m : {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"})
            items.append({QLatin1String(m) + QStringLiteral(" Kc"), QLatin1String(m) + QStringLiteral(" Kc")});
        return blockReport(curves, QStringLiteral("Perennial Print All Marked"), head,
                           QStringLiteral("Perennial Print All Marked"), items, QStringLiteral("Notes:"),
                           QStringLiteral("Notes"), QString(), true, false);
    }
    return blockReport(curves, QStringLiteral("Bas Forage and Grass All Marked"), head,
                       QStringLiteral("Bas Forage and Grass All Marked"),
                       {{"Crop Curve Name", "Crop Curve Name"},
                        {"Humidity/Wind", "Climate/Wind"},
                        {"High Kc", "High Kc"},
                        {"Low Kc", "Low Kc"},
                        {"Pk % After Harvest (Alfalfa)", "Pk % After Harvest (Alf)"},
                        {"Pk Days After Harvest", "Pk Days After Harvest"}},
                       QStringLiteral("Notes:"), QStringLiteral("Notes"), QString(), true, false);
}

PreparedReport prepareBCAnnualList(TTable& curves)
{
    QList<Column> cols{{"Crop Curve Name", "Crop Curve Name", 120, {}}};
    for (const char* f : {"0% Kc", "5% Kc", "10% Kc", "15% Kc", "20% Kc", "25% Kc", "30% Kc", "35 % Kc", "40% Kc",
                          "45% Kc", "50% Kc", "55% Kc", "60% Kc", "65% Kc", "70% Kc", "75% Kc", "80% Kc", "85% Kc",
                          "90% Kc", "95 % Kc", "100%Kc"}) {
        QString title = QString::fromLatin1(f).remove(QLatin1Char(' ')).replace(QStringLiteral("%Kc"), QStringLiteral("%\nKc"));
        cols.append({QLatin1String(f), title, 20, "0.00"});
    }
    return listReport(curves, QStringLiteral("Blaney Criddle Annual List"), QStringLiteral("Quen Crop Database"),
                      QStringLiteral("Blaney Criddle Annual List"), cols,
                      QStringLiteral("Total Number of Crop Curves:"), 7);
}

PreparedReport prepareBCPerenList(TTable& curves)
{
    // Dec 31 repeats Jan 1 of the next year and is not listed.
    QList<Column> cols{{"Crop Curve Name", "Crop Curve Name", 108, {}}};
    for (const char* m : {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"})
        for (const char* d : {"1", "15"})
            cols.append({QLatin1String(m) + QLatin1Char(' ') + QLatin1String(d) + QStringLiteral(" Kc"),
                         QLatin1String(m) + QLatin1Char('\n') + QLatin1String(d), 18, "0.00"});
    return listReport(curves, QStringLiteral("Blaney Criddle Perennial List"), QStringLiteral("Quen Crop Database"),
                      QStringLiteral("Blaney Criddle Perennial List"), cols,
                      QStringLiteral("Total Number of Crop Curves:"), 7);
}

PreparedReport prepareAnTypeList(TTable& types)
{
    return listReport(types, QStringLiteral("Annual Type List"), QStringLiteral("Quen Crop Database"),
                      QStringLiteral("Annual Type List"),
                      {{"Crop Type", "Crop Type (Field and Vegetable)", 220, {}},
                       {"Fs1", "Fs1", 60, "0.00"},
                       {"Fs2", "Fs2", 60, "0.00"},
                       {"Fs3", "Fs3", 60, "0.00"},
                       {"DaysMin", "Days Min.", 70, "###"},
                       {"DaysMax", "Days Max.", 70, "###"}},
                      QStringLiteral("Total Number of Crop Types"));
}

PreparedReport prepareFAOCurveList(TTable& curves)
{
    return blockReport(curves, QStringLiteral("List of FAO 56 crops"), QStringLiteral("Quenpm Crop Database "),
                       QStringLiteral("List of FAO 56 crops"),
                       {{"Crop Name:", "CropCurveName"},
                        {"Kc ini =", "Kcini"},
                        {"Kc mid =", "Kcmid"},
                        {"Kc end =", "Kcend"},
                        {"Max Crop Ht (m) =", "MaxHeightM"},
                        {"Kcb =", "Kcb"},
                        {"Kcp=", "Kcp"},
                        {"Kcm=", "Kcm"},
                        {"Fs1 =", "Fs1"},
                        {"Est ETo =", "ETo"},
                        {"RHmin =", "RHMin"},
                        {"u2 wind (m/s) =", "U2"},
                        {"Soil Texture =", "SText"},
                        {"Irrig depth (mm) =", "App"},
                        {"Days between wettings =", "WettingDays"},
                        {"Fraction wetted =", "Fw"},
                        {"Fs2 =", "Fs2"},
                        {"Fs3 =", "Fs3"}},
                       QString(), QString(), QStringLiteral("Total Number of Crop curves:"));
}

// The two reference tables are long: one line per row.
PreparedReport prepareTable12List(TTable& t)
{
    return listReport(t, QStringLiteral("List of KC Values From FAO 56 Table 12"), QStringLiteral("Quen Crop Database"),
                      QStringLiteral("List of KC Values From FAO 56 Table 12"),
                      {{"CropName", "Crop Name:", 190, {}},
                       {"CropDescrip", "Crop Type:", 150, {}},
                       {"Kcini", "Kc ini =", 50, "0.00"},
                       {"Kcmid", "Kc mid =", 50, "0.00"},
                       {"Kcend", "Kc end =", 50, "0.00"},
                       {"MaxHeightM", "Max Crop Ht (m) =", 50, "0.0#"}},
                      QStringLiteral("Total Number of Crops:"), 7);
}

PreparedReport prepareTable11List(TTable& t)
{
    QList<Column> cols{{"CropName", "Crop Name:", 100, {}}, {"Region", "Region:", 98, {}},
                       {"PlantDate", "Plant Date:", 52, {}}};
    const char* days[][2] = {{"Lini", "Lini"}, {"Ldev", "Ldev"}, {"Lmid", "Lmid"}, {"Llate", "Llate"},
                             {"TotalDays", "Total\nDays"}, {"MinDays", "Min\nDays"}, {"MaxDays", "Max\nDays"}};
    for (const auto& d : days) cols.append({QLatin1String(d[0]), QString::fromLatin1(d[1]), 29, "0"});
    for (const char* f : {"Fs1", "Fs2", "Fs3"}) cols.append({QLatin1String(f), QLatin1String(f), 29, "0.00"});
    return listReport(t, QStringLiteral("List of Crop Development  Values From FAO 56 Table 11"),
                      QStringLiteral("Quen Crop Database"),
                      QStringLiteral("List of Crop Development  Values From FAO 56 Table 11"), cols,
                      QStringLiteral("Total Number of Crops:"), 7);
}

QStringList reportTexts(const PreparedReport& pages)
{
    QStringList out;
    for (const ReportPage& p : pages.pages)
        for (const DrawOp& op : p.ops)
            if (op.kind == DrawOp::Text) out << op.text;
    return out;
}

} // namespace quen::cropprog
