#include "StationRecords.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "Schema.h"

namespace quen::climprog {

namespace {

// Messages of a missing line 2..7 (line 1 always exists once its "#" is found).
const char* const kMissingLine[8] = {nullptr, "1 End of file or error", "2 End of file or error",
                                     "4a End of file or error", "5a End of file or error",
                                     "3 End of file or error", "4 End of file or error",
                                     "6 End of file or error"};

class Cursor {
public:
    Cursor(const QByteArray& text) : m_text(text) {}

    // Moves past the next "#"; false at the end of the text.
    bool skipToHash()
    {
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '\n')
                ++m_line;
            else if (c == '#')
                return true;
        }
        return false;
    }
    // The next line without its newline (a carriage return before it is
    // dropped); false when the text has ended.
    bool readLine(QByteArray& out)
    {
        if (m_pos >= m_text.size())
            return false;
        const qsizetype nl = m_text.indexOf('\n', m_pos);
        const qsizetype end = nl < 0 ? m_text.size() : nl;
        out = m_text.mid(m_pos, end - m_pos);
        if (out.endsWith('\r'))
            out.chop(1);
        m_pos = nl < 0 ? m_text.size() : nl + 1;
        ++m_line;
        return true;
    }
    int line() const { return m_line; }   // number of the line last read (1-based)
    int currentLine() const { return m_line + 1; }

private:
    const QByteArray& m_text;
    qsizetype m_pos = 0;
    int m_line = 0;   // lines completed
};

struct Failure {
    QString text;
};

bool hasControl(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || c == QChar::ReplacementCharacter)
            return true;
    return false;
}

// The blank-separated tokens of a line (any white space separates).
QList<QByteArray> tokens(const QByteArray& line)
{
    QList<QByteArray> out;
    const char* p = line.constData();
    const char* end = p + line.size();
    while (p < end) {
        while (p < end && std::isspace(static_cast<unsigned char>(*p)))
            ++p;
        const char* start = p;
        while (p < end && !std::isspace(static_cast<unsigned char>(*p)))
            ++p;
        if (p > start)
            out << QByteArray(start, qsizetype(p - start));
    }
    return out;
}

// A number of a monthly line or of line 2; false for anything that is not a
// finite decimal number.
bool number(const QByteArray& token, double& v)
{
    bool ok = false;
    // Only plain decimal text: digits, one point, a leading sign.
    for (char c : token)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+'))
            return false;
    const auto r = std::from_chars(token.constData(), token.constData() + token.size(), v);
    ok = r.ec == std::errc() && r.ptr == token.constData() + token.size();
    return ok && std::isfinite(v);
}

bool validDate(const QByteArray& t)
{
    if (t.size() != 5 || t[2] != '/')
        return false;
    for (int i : {0, 1, 3, 4})
        if (!std::isdigit(static_cast<unsigned char>(t[i])))
            return false;
    const int mo = t.left(2).toInt();
    const int dy = t.mid(3, 2).toInt();
    return mo <= 12 && dy <= 31 && (mo == 0) == (dy == 0);
}

} // namespace

double roundedTo(double v, int decimals)
{
    // As printf("%.*f") and reading the text back, without the text: the
    // nearest double to the rounded decimal is the integer divided by the
    // power of ten. Values next to a half go through the text itself.
    static const double pow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
    if (!std::isfinite(v) || decimals < 0 || decimals > 6 || std::fabs(v) > 1e12)
        return QString::number(v, 'f', decimals).toDouble();
    const double x = v * pow10[decimals];
    const double frac = x - std::floor(x);
    if (std::fabs(frac - 0.5) < 1e-6) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
        return std::strtod(buf, nullptr);
    }
    return std::round(x) / pow10[decimals];
}

bool isDDMMLatitude(double v)
{
    if (!std::isfinite(v) || v != std::floor(v) || v < 100 || v > 9000)
        return false;
    const long n = long(v);
    return n % 100 < 60;
}

bool isDDDMMLongitude(double v)
{
    if (!std::isfinite(v) || v != std::floor(v) || v < 0 || v > 18000)
        return false;
    const long n = long(v);
    return n % 100 < 60;
}

QString positionMessage(const QString& station, const QString& field, const QString& valueText)
{
    const QString form = field == QLatin1String("Latitude")
                             ? QStringLiteral("degrees and minutes run together (DDMM, minutes under 60)")
                             : QStringLiteral("degrees and minutes run together (DDDMM, minutes under 60)");
    return QStringLiteral("Station \"%1\": %2 %3 is not %4.").arg(station, field, valueText, form);
}

TStationFile parseStationRecords(const QByteArray& text, const QString& fileName, const QSet<QString>* counties)
{
    TStationFile out;
    Cursor cur(text);
    QHash<QString, int> names;   // station name (without case) -> record
    int recordNo = 0;
    auto where = [&](int line) {
        return QStringLiteral("\nFile \"%1\", record %2, line %3.")
            .arg(fileName, QString::number(recordNo), QString::number(line));
    };
    try {
        while (cur.skipToHash()) {
            ++recordNo;
            TStationRecord r;
            r.record = recordNo;
            r.line = cur.currentLine();
            QByteArray lines[8];
            for (int k = 1; k <= 7; ++k) {
                if (!cur.readLine(lines[k]))
                    throw Failure{QString::fromLatin1(kMissingLine[k]) + where(cur.currentLine())};
                // Line 1 starts after its "#".
                const int len = int(lines[k].size()) + (k == 1 ? 1 : 0);
                if (len > kMaxRecordLine)
                    throw Failure{QStringLiteral("Line longer than %1 characters.").arg(kMaxRecordLine)
                                  + where(cur.line())};
            }
            const int first = r.line;

            // Line 1: label, blank, County|Station Name|Station No.
            const QString l1 = QString::fromUtf8(lines[1]);
            const int blank = l1.indexOf(QLatin1Char(' '));
            const int bar1 = l1.indexOf(QLatin1Char('|'), blank + 1);
            const int bar2 = bar1 < 0 ? -1 : l1.indexOf(QLatin1Char('|'), bar1 + 1);
            if (blank < 0 || bar1 < 0 || bar2 < 0)
                throw Failure{QStringLiteral("The record does not start with \"#\", a label, a blank and "
                                             "County|Station Name|Station No.")
                              + where(first)};
            r.county = l1.mid(blank + 1, bar1 - blank - 1);
            r.name = l1.mid(bar1 + 1, bar2 - bar1 - 1);
            r.number = l1.mid(bar2 + 1);
            if (r.county.trimmed().isEmpty() || r.name.trimmed().isEmpty())
                throw Failure{QStringLiteral("The record has no county or no station name.") + where(first)};
            if (hasControl(l1))
                throw Failure{QStringLiteral("The first line of the record holds characters that are not text.")
                              + where(first)};
            // The writer ends the line with a blank; it goes where the field has no room for it.
            while (r.number.size() > 8 && r.number.endsWith(QLatin1Char(' ')))
                r.number.chop(1);
            if (r.county.size() > 25 || r.name.size() > 35 || r.number.size() > 8)
                throw Failure{QStringLiteral("County (25), station name (35) or station number (8 characters) "
                                             "is too long.")
                              + where(first)};
            if (names.contains(r.name.toLower()))
                throw Failure{QStringLiteral("Station \"%1\" is also record %2.")
                                                 .arg(r.name, QString::number(names[r.name.toLower()]))
                              + where(first)};
            names.insert(r.name.toLower(), recordNo);

            // Line 2: latitude, longitude, elevation.
            const QList<QByteArray> pos = tokens(lines[2]);
            if (pos.size() != 3 || !number(pos[0], r.latitude) || !number(pos[1], r.longitude)
                || !number(pos[2], r.elevation))
                throw Failure{QStringLiteral("Line 2 of a record must hold latitude, longitude and elevation.")
                              + where(first + 1)};
            if (!isDDMMLatitude(r.latitude))
                throw Failure{positionMessage(r.name, QStringLiteral("Latitude"), QString::fromLatin1(pos[0]))
                              + where(first + 1)};
            if (!isDDDMMLongitude(r.longitude))
                throw Failure{positionMessage(r.name, QStringLiteral("Longitude"), QString::fromLatin1(pos[1]))
                              + where(first + 1)};
            if (r.elevation < kMinElevationFt || r.elevation > kMaxElevationFt)
                throw Failure{QStringLiteral("Station \"%1\": Elevation %2 ft is out of range (%3 to %4).")
                                  .arg(r.name, QString::fromLatin1(pos[2]))
                                  .arg(kMinElevationFt)
                                  .arg(kMaxElevationFt)
                              + where(first + 1)};

            // Lines 3..6: twelve monthly values each.
            std::array<double, 12>* months[4] = {&r.tmax, &r.tmin, &r.t, &r.p};
            for (int k = 3; k <= 6; ++k) {
                const QList<QByteArray> v = tokens(lines[k]);
                if (v.size() != 12)
                    throw Failure{QStringLiteral("Line %1 of a record must hold 12 monthly values.").arg(k)
                                  + where(first + k - 1)};
                for (int m = 0; m < 12; ++m) {
                    double x = 0;
                    if (v[m].size() > kMaxValueToken)
                        throw Failure{QStringLiteral("Value \"%1\" is longer than %2 characters.")
                                          .arg(QString::fromLatin1(v[m].left(20)), QString::number(kMaxValueToken))
                                      + where(first + k - 1)};
                    const bool precip = k == 6;
                    if (!number(v[m], x) || (precip ? (x < 0 || x > 200) : (x < -100 || x > 200)))
                        throw Failure{QStringLiteral("Value \"%1\" is not a %2.")
                                          .arg(QString::fromLatin1(v[m]),
                                               precip ? QStringLiteral("precipitation in inches (0 to 200)")
                                                      : QStringLiteral("temperature in deg F (-100 to 200)"))
                                      + where(first + k - 1)};
                    (*months[k - 3])[m] = x;
                }
            }

            // Line 7: four freeze dates, or nothing.
            const QList<QByteArray> d = tokens(lines[7]);
            if (!d.isEmpty()) {
                if (d.size() != 4)
                    throw Failure{QStringLiteral("Line 7 of a record must hold four dates mm/dd.") + where(first + 6)};
                for (int i = 0; i < 4; ++i) {
                    if (d[i] == "--/--") continue;   // a date that is not known stays empty
                    if (!validDate(d[i]))
                        throw Failure{QStringLiteral("\"%1\" is not a date mm/dd.").arg(QString::fromLatin1(d[i].left(20)))
                                      + where(first + 6)};
                    r.dates[i] = QString::fromLatin1(d[i]);
                }
            }

            ++out.recordsRead;
            if (!counties || counties->contains(r.county))
                out.records << std::move(r);
        }
    } catch (const Failure& f) {
        out.error = f.text;
        out.records.clear();
    }
    return out;
}

TStationFile readStationFile(const QString& path, const QString& openError, const QSet<QString>* counties)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        TStationFile out;
        out.error = openError;
        return out;
    }
    return parseStationRecords(f.readAll(), QFileInfo(path).fileName(), counties);
}

namespace {

// Positions of the "Climate.DB" fields the import writes, looked up once.
struct ClimateFields {
    int count = 0;
    int name, county, number, lat, lon, elev, elevM, marked;
    int dates[4];
    int tmax[12], tmin[12], t[12], p[12], tm[12], tminM[12], tmaxM[12], pm[12];

    ClimateFields()
    {
        const TableDef* def = findTableDef(QStringLiteral("Climate.DB"));
        count = int(def->fields.size());
        auto at = [def](const QString& f) { return def->fieldIndex(f); };
        name = at(QStringLiteral("Station Name"));
        county = at(QStringLiteral("County"));
        number = at(QStringLiteral("Station No"));
        lat = at(QStringLiteral("Latitude"));
        lon = at(QStringLiteral("Longitude"));
        elev = at(QStringLiteral("Elevation"));
        elevM = at(QStringLiteral("ElevationM"));
        marked = at(QStringLiteral("Marked"));
        const char* d[4] = {"Spr mo/dy 28", "Fall mo/dy 28", "Spr mo/dy 32", "Fall mo/dy 32"};
        for (int i = 0; i < 4; ++i)
            dates[i] = at(QString::fromLatin1(d[i]));
        for (int m = 0; m < 12; ++m) {
            const QString n = QString::number(m + 1);
            tmax[m] = at(QStringLiteral("Tmax") + n);
            tmin[m] = at(QStringLiteral("Tmin") + n);
            t[m] = at(QStringLiteral("T") + n);
            p[m] = at(QStringLiteral("P") + n);
            tm[m] = at(QStringLiteral("Tm") + n);
            tminM[m] = at(QStringLiteral("TminM") + n);
            tmaxM[m] = at(QStringLiteral("TmaxM") + n);
            pm[m] = at(QStringLiteral("Pm") + n);
        }
    }
};

} // namespace

QVariantList climateRowValues(const TStationRecord& r)
{
    static const ClimateFields f;
    QVariantList v(f.count);
    v[f.name] = r.name;
    v[f.county] = r.county;
    v[f.number] = r.number;
    v[f.lat] = r.latitude;
    v[f.lon] = r.longitude;
    v[f.elev] = r.elevation;
    v[f.elevM] = roundedTo(r.elevation * 0.3048, 0);
    for (int i = 0; i < 4; ++i)
        if (!r.dates[i].isEmpty())
            v[f.dates[i]] = r.dates[i];
    v[f.marked] = false;
    for (int m = 0; m < 12; ++m) {
        v[f.tmax[m]] = r.tmax[m];
        v[f.tmin[m]] = r.tmin[m];
        v[f.t[m]] = r.t[m];
        v[f.p[m]] = r.p[m];
        v[f.tm[m]] = roundedTo((r.t[m] - 32) * 5 / 9, 2);
        v[f.tminM[m]] = roundedTo((r.tmin[m] - 32) * 5 / 9, 2);
        v[f.tmaxM[m]] = roundedTo((r.tmax[m] - 32) * 5 / 9, 2);
        v[f.pm[m]] = roundedTo(r.p[m] * 2.54, 2);
    }
    return v;
}

void writeStationRecord(QByteArray& out, int label, const TStationRecord& r)
{
    out += QStringLiteral("#%1 %2|%3|%4 \n").arg(label).arg(r.county, r.name, r.number).toUtf8();
    out += QByteArray::number(qint64(std::llround(r.latitude))) + ' ' + QByteArray::number(qint64(std::llround(r.longitude)))
           + ' ' + QByteArray::number(qint64(std::llround(r.elevation))) + " \n";
    auto line = [&](const std::array<double, 12>& a, int decimals) {
        for (double x : a) {
            QByteArray t = QByteArray::number(x, 'f', decimals);
            while (t.size() < 5)
                t += ' ';
            out += t + ' ';
        }
        out += '\n';
    };
    line(r.tmax, 1);
    line(r.tmin, 1);
    line(r.t, 1);
    line(r.p, 2);
    // Four dates, "--/--" for one that is not known; an empty line when none is known.
    const bool anyDate = !(r.dates[0].isEmpty() && r.dates[1].isEmpty() && r.dates[2].isEmpty() && r.dates[3].isEmpty());
    if (anyDate) {
        for (const QString& d : r.dates)
            out += (d.isEmpty() ? QStringLiteral("--/--") : d).toUtf8() + ' ';
    }
    out += "\n\n";
}

} // namespace quen::climprog
