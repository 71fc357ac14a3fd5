#include "CropInputsText.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <array>
#include <set>

namespace quen::test {

namespace {

// Every field of CropInputs but the table lookups, in the order written. The
// writer and the reader both walk this one list, so that they cannot differ.
template <class V>
void Fields(CropInputs& in, V&& v)
{
    v("monthlyPrecip", in.monthlyPrecip);
    v("annualPrecip", in.annualPrecip);
    v("etMethodText", in.etMethodText);

    v("cropName", in.cropName);
    v("jobName", in.jobName);
    v("etMethodIndex", in.etMethodIndex);
    v("plantMonth", in.plantMonth);
    v("plantDay", in.plantDay);
    v("harvestMonth", in.harvestMonth);
    v("harvestDay", in.harvestDay);
    v("cropCurveType", in.cropCurveType);
    v("soil", in.soil);
    v("beginDateText", in.beginDateText);
    v("endDateText", in.endDateText);
    v("cut1Month", in.cut1Month);
    v("cut1Day", in.cut1Day);
    v("cutEndMonth", in.cutEndMonth);
    v("cutEndDay", in.cutEndDay);
    v("curveIndex", in.curveIndex);
    v("curveName", in.curveName);
    v("cuttings", in.cuttings);
    v("netIrrDepth", in.netIrrDepth);
    v("carryBeg", in.carryBeg);
    v("carryEnd", in.carryEnd);
    v("daysWetDeveloped", in.daysWetDeveloped);
    v("daysWetMature", in.daysWetMature);
    v("stressFactor", in.stressFactor);
    v("sensitive", in.sensitive);
    v("availableSoilWater", in.availableSoilWater);
    v("fractionWetted", in.fractionWetted);
    v("irrigationType", in.irrigationType);

    StationRecord& s = in.station;
    v("station.present", s.present);
    v("station.name", s.name);
    v("station.number", s.number);
    v("station.county", s.county);
    v("station.whrLocation", s.whrLocation);
    v("station.latitude", s.latitude);
    v("station.longitude", s.longitude);
    v("station.elevationFt", s.elevationFt);
    v("station.elevationM", s.elevationM);
    v("station.frost.spring28", s.frost.spring28);
    v("station.frost.spring32", s.frost.spring32);
    v("station.frost.fall28", s.frost.fall28);
    v("station.frost.fall32", s.frost.fall32);
    v("station.precip", s.precip);
    v("station.precipCm", s.precipCm);
    v("station.annualPrecip", s.annualPrecip);
    v("station.annualPrecipCm", s.annualPrecipCm);
    v("station.temp", s.temp);
    v("station.tempC", s.tempC);
    v("station.tmin", s.tmin);
    v("station.tmax", s.tmax);
    v("station.tminC", s.tminC);
    v("station.tmaxC", s.tmaxC);

    WhrRecord& w = in.whr;
    v("whr.found", w.found);
    v("whr.rhMin", w.rhMin);
    v("whr.rhMax", w.rhMax);
    v("whr.cor", w.cor);
    v("whr.u2", w.u2);
    v("whr.rs", w.rs);
    v("whr.rsm", w.rsm);
    v("whr.u2m", w.u2m);
    v("whr.as", w.as);
    v("whr.bs", w.bs);
    v("whr.n", w.n);
    v("whr.stationType", w.stationType);
    v("whr.stationLoc", w.stationLoc);
    v("whr.stationHeight", w.stationHeight);

    v("peakMethod", in.peakMethod);
    v("elevationCorrection", in.elevationCorrection);

    v("annualBasal.Kcb", in.annualBasal.Kcb);
    v("annualBasal.Kcp", in.annualBasal.Kcp);
    v("annualBasal.Kcm", in.annualBasal.Kcm);
    v("annualBasal.Fs1", in.annualBasal.Fs1);
    v("annualBasal.Fs2", in.annualBasal.Fs2);
    v("annualBasal.Fs3", in.annualBasal.Fs3);
    v("perennialBasal.g", in.perennialBasal.g);
    v("forage.hay", in.forage.hay);
    v("forage.hasPkDaysBefore", in.forage.hasPkDaysBefore);
    v("forage.pkDaysBefore", in.forage.pkDaysBefore);
    v("forage.hasPkPctAfter", in.forage.hasPkPctAfter);
    v("forage.pkPctAfter", in.forage.pkPctAfter);
    v("forage.lowKc", in.forage.lowKc);
    v("forage.highKc", in.forage.highKc);
    v("forage.springFreezeDay", in.forage.springFreezeDay);
    v("forage.fallFreezeDay", in.forage.fallFreezeDay);
    v("bcAnnual.K", in.bcAnnual.K);
    v("bcPerennial.A1", in.bcPerennial.A1);
    v("bcPerennial.A15", in.bcPerennial.A15);
    v("bcPerennial.Aend", in.bcPerennial.Aend);
    v("fao56.Kcb", in.fao56.Kcb);
    v("fao56.Kcp", in.fao56.Kcp);
    v("fao56.Kcm", in.fao56.Kcm);
    v("fao56.Fs1", in.fao56.Fs1);
    v("fao56.Fs2", in.fao56.Fs2);
    v("fao56.Fs3", in.fao56.Fs3);
    v("kcClimate.on", in.kcClimate.on);
    v("kcClimate.kcMid", in.kcClimate.kcMid);
    v("kcClimate.kcEnd", in.kcClimate.kcEnd);
    v("kcClimate.heightM", in.kcClimate.heightM);
}

QString Num(double x) { return QString::number(x, 'g', 17); }

QString Quoted(const QString& s)
{
    QString out = QStringLiteral("\"");
    for (QChar c : s) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\') + QString(c);
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

template <std::size_t N>
QString Row(const std::array<double, N>& a)
{
    QStringList cells;
    for (std::size_t i = 1; i < N; ++i)
        cells << Num(a[i]);
    return cells.join(QLatin1Char(' '));
}

struct Writer {
    QStringList& lines;
    void put(const char* key, const QString& value) { lines << QString::fromLatin1(key) + QStringLiteral(" = ") + value; }
    void operator()(const char* key, double v) { put(key, Num(v)); }
    void operator()(const char* key, int v) { put(key, QString::number(v)); }
    void operator()(const char* key, bool v) { put(key, v ? QStringLiteral("true") : QStringLiteral("false")); }
    void operator()(const char* key, const QString& v) { put(key, Quoted(v)); }
    template <std::size_t N>
    void operator()(const char* key, const std::array<double, N>& a) { put(key, Row(a)); }
};

// One "key = value" line of a block.
struct Item {
    QString value;
    int line = 0;
};

bool ParseDouble(const QString& text, double& out)
{
    bool ok = false;
    out = text.toDouble(&ok);
    return ok;
}

bool ParseNumbers(const QString& text, std::vector<double>& out)
{
    out.clear();
    for (const QString& cell : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        double x = 0;
        if (!ParseDouble(cell, x))
            return false;
        out.push_back(x);
    }
    return true;
}

bool ParseQuoted(const QString& text, QString& out)
{
    if (text.size() < 2 || !text.startsWith(QLatin1Char('"')) || !text.endsWith(QLatin1Char('"')))
        return false;
    out.clear();
    for (int i = 1; i < text.size() - 1; ++i) {
        QChar c = text[i];
        if (c == QLatin1Char('"'))
            return false;   // an unescaped quote inside
        if (c == QLatin1Char('\\')) {
            if (++i >= text.size() - 1)
                return false;
            c = text[i];
            if (c == QLatin1Char('n'))
                c = QLatin1Char('\n');
            else if (c != QLatin1Char('"') && c != QLatin1Char('\\'))
                return false;
        }
        out += c;
    }
    return true;
}

struct Reader {
    QHash<QString, Item>& items;
    int blockLine = 0;   // the line of the block's [crop]
    QString error;
    std::set<QString> used;

    const Item* take(const char* key)
    {
        const QString k = QString::fromLatin1(key);
        const auto it = items.constFind(k);
        if (it == items.constEnd()) {
            fail(0, QStringLiteral("[crop] without the field \"%1\"").arg(k));
            return nullptr;
        }
        used.insert(k);
        return &*it;
    }
    void fail(int line, const QString& what)
    {
        if (error.isEmpty())
            error = QStringLiteral("line %1: %2").arg(line > 0 ? line : blockLine).arg(what);
    }
    void bad(const Item& item, const char* key)
    {
        fail(item.line, QStringLiteral("malformed value of \"%1\"").arg(QString::fromLatin1(key)));
    }

    void operator()(const char* key, double& v)
    {
        if (const Item* item = take(key); item && !ParseDouble(item->value, v))
            bad(*item, key);
    }
    void operator()(const char* key, int& v)
    {
        if (const Item* item = take(key)) {
            bool ok = false;
            v = item->value.toInt(&ok);
            if (!ok)
                bad(*item, key);
        }
    }
    void operator()(const char* key, bool& v)
    {
        if (const Item* item = take(key)) {
            if (item->value == QLatin1String("true"))
                v = true;
            else if (item->value == QLatin1String("false"))
                v = false;
            else
                bad(*item, key);
        }
    }
    void operator()(const char* key, QString& v)
    {
        if (const Item* item = take(key); item && !ParseQuoted(item->value, v))
            bad(*item, key);
    }
    template <std::size_t N>
    void operator()(const char* key, std::array<double, N>& a)
    {
        if (const Item* item = take(key)) {
            std::vector<double> x;
            if (!ParseNumbers(item->value, x) || x.size() != N - 1) {
                bad(*item, key);
                return;
            }
            a.fill(0.0);
            for (std::size_t i = 1; i < N; ++i)
                a[i] = x[i - 1];
        }
    }
};

// The lookup lines: "<table>[<whole number>] = <numbers>".
const QRegularExpression kLookupKey(QStringLiteral("^(wetFactors|daytimePercents|chanceRows)\\[(-?\\d+)\\]$"));

bool ReadLookup(const QString& table, int key, const std::vector<double>& x, CropInputs& in)
{
    if (table == QLatin1String("wetFactors")) {
        if (x.size() != 1)
            return false;
        in.wetFactors[key] = x[0];
    } else if (table == QLatin1String("daytimePercents")) {
        if (x.size() != 12)
            return false;
        MonthlyValues row{};
        for (int m = 1; m <= 12; ++m)
            row[m] = x[m - 1];
        in.daytimePercents[key] = row;
    } else {
        if (x.size() != 6)
            return false;
        in.chanceRows[key] = {{x[0], x[1], x[2]}, {x[3], x[4], x[5]}};
    }
    return true;
}

bool ReadBlock(QHash<QString, Item>& items, int blockLine, CropInputs& in, QString* error)
{
    in = CropInputs{};
    Reader reader{items, blockLine, {}, {}};
    Fields(in, reader);
    for (auto it = items.cbegin(); it != items.cend() && reader.error.isEmpty(); ++it) {
        if (reader.used.count(it.key()))
            continue;
        const QRegularExpressionMatch m = kLookupKey.match(it.key());
        std::vector<double> x;
        if (!m.hasMatch())
            reader.fail(it->line, QStringLiteral("unknown field \"%1\"").arg(it.key()));
        else if (!ParseNumbers(it->value, x) || !ReadLookup(m.captured(1), m.captured(2).toInt(), x, in))
            reader.fail(it->line, QStringLiteral("malformed row \"%1\"").arg(it.key()));
    }
    if (!reader.error.isEmpty() && error)
        *error = reader.error;
    return reader.error.isEmpty();
}

} // namespace

QString CropInputsText(const std::vector<CropInputs>& crops, const QString& heading)
{
    QStringList lines;
    for (const QString& h : heading.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        lines << QStringLiteral("# ") + h;
    for (const CropInputs& crop : crops) {
        CropInputs in = crop;
        lines << QString() << QStringLiteral("[crop]");
        Fields(in, Writer{lines});
        for (const auto& [days, factor] : in.wetFactors)
            lines << QStringLiteral("wetFactors[%1] = %2").arg(days).arg(Num(factor));
        for (const auto& [degrees, row] : in.daytimePercents)
            lines << QStringLiteral("daytimePercents[%1] = %2").arg(degrees).arg(Row(row));
        for (const auto& [inches, rows] : in.chanceRows) {
            const PcpChanceRow& u = rows.first;
            const PcpChanceRow& l = rows.second;
            lines << QStringLiteral("chanceRows[%1] = ").arg(inches)
                    + QStringList{Num(u.anPcp), Num(u.pct50), Num(u.pct80), Num(l.anPcp), Num(l.pct50), Num(l.pct80)}
                          .join(QLatin1Char(' '));
        }
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool ParseCropInputsText(const QString& text, std::vector<CropInputs>& crops, QString* error)
{
    crops.clear();
    auto fail = [error](int line, const QString& what) {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(line).arg(what);
        return false;
    };
    QHash<QString, Item> items;
    bool inBlock = false;
    int blockLine = 0;
    auto closeBlock = [&]() {
        if (!inBlock)
            return true;
        crops.emplace_back();
        return ReadBlock(items, blockLine, crops.back(), error);
    };
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line == QLatin1String("[crop]")) {
            if (!closeBlock())
                return false;
            items.clear();
            inBlock = true;
            blockLine = lineNo;
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return fail(lineNo, QStringLiteral("not \"key = value\""));
        if (!inBlock)
            return fail(lineNo, QStringLiteral("a field before the first [crop]"));
        const QString key = line.left(eq).trimmed();
        if (items.contains(key))
            return fail(lineNo, QStringLiteral("\"%1\" given twice").arg(key));
        items.insert(key, {line.mid(eq + 1).trimmed(), lineNo});
    }
    return closeBlock();
}

} // namespace quen::test
