#include "CountyReport.h"

#include <QFile>
#include <QRegularExpression>
#include <cmath>

#include "MessageService.h"
#include "StationRecords.h"

namespace quen::climprog {

namespace {

struct Drop {
    QString message;   // empty: left out without a message
};

QString digitsOf(const QString& s)
{
    QString out;
    for (QChar c : s)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            out += c;
    return out;
}

QString aborting(const char* what, const QString& station)
{
    return QString::fromLatin1(what).arg(station);
}

// A value read from fixed positions: blanks around it allowed, nothing else.
bool valueAt(const QString& line, int from, int count, double& v)
{
    const QString t = line.mid(from, count).trimmed();
    if (t.isEmpty())
        return false;
    static const QRegularExpression re(QStringLiteral("^[-+]?[0-9]*\\.?[0-9]+$"));
    if (!re.match(t).hasMatch())
        return false;
    bool ok = false;
    v = t.toDouble(&ok);
    return ok && std::isfinite(v);
}

QString freezeDate(const QString& line, int from, bool lettersMeanNone)
{
    QString d = line.mid(from, 5).leftJustified(5, QLatin1Char(' '));
    d.replace(QLatin1Char(' '), QLatin1Char('0'));
    if (d.contains(QLatin1Char('-')) || d.contains(QLatin1Char('>')))
        return QStringLiteral("00/00");
    if (lettersMeanNone)
        for (QChar c : d)
            if (c.isLetter())
                return QStringLiteral("00/00");
    if (d == QLatin1String("12/31"))
        return QStringLiteral("00/00");
    return d;
}

// Text the station record format can carry on its first line.
bool plainText(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() < 0x20 || c.unicode() >= 0x7f || c == QLatin1Char('|'))
            return false;
    return true;
}

bool fitsToken(double v, int decimals)
{
    return QByteArray::number(v, 'f', decimals).size() <= kMaxValueToken;
}

} // namespace

bool isCountyReportName(const QString& fileName)
{
    static const QRegularExpression re(QStringLiteral("^[0-9]{5}\\.txt$"), QRegularExpression::CaseInsensitiveOption);
    return re.match(fileName).hasMatch();
}

TConvertedFile convertCountyReportText(const QByteArray& report, TConverterRun& run)
{
    TConvertedFile out;
    const qsizetype w = report.indexOf('W');
    const qsizetype n = report.indexOf('N');
    if (w < 0 || (n >= 0 && n < w)) {
        out.noData = true;
        return out;
    }
    QList<QString> lines;
    {
        const QString data = QString::fromLatin1(report.mid(w));
        for (QString l : data.split(QLatin1Char('\n'))) {
            if (l.endsWith(QLatin1Char('\r')))
                l.chop(1);
            lines << l;
        }
        // A form feed before the end of the file ends it.
        while (!lines.isEmpty() && lines.last().trimmed().remove(QLatin1Char('\f')).isEmpty())
            lines.removeLast();
    }

    int stationsFound = 0;
    int i = 0;
    while (i < lines.size()) {
        int j = i;
        while (j < lines.size() && !lines[j].contains(QLatin1String("S Station :")))
            ++j;
        if (j >= lines.size())
            break;
        ++stationsFound;
        i = j + 1;   // the next search starts after this station line

        const int wAt = lines[j].indexOf(QLatin1Char('W'));
        const QString st = wAt >= 0 ? lines[j].mid(wAt + 1) : lines[j];
        const int colon = st.indexOf(QLatin1Char(':'));
        const int comma = st.indexOf(QLatin1Char(','), colon + 1);
        QString name = comma > colon + 1 ? st.mid(colon + 2, comma - colon - 2).trimmed() : QString();
        try {
            if (comma < 0 || name.isEmpty())
                throw Drop{aborting("Can't finish station data ? aborting Sta %1\n", name)};
            QString number = st.mid(comma + 2);
            const int blank = number.indexOf(QLatin1Char(' '));
            if (blank >= 0)
                number.truncate(blank);
            number = number.trimmed();
            if (name.size() > 35 || !plainText(name) || number.size() < 2 || number.size() > 8 || !plainText(number))
                throw Drop{aborting("Can't finish station data ? aborting Sta %1\n", name)};
            const QString state = number.left(2);

            // Latitude, longitude, elevation.
            QString lat, lon, elev;
            int fipsLine = j + 1;
            if (st.size() < 81) {
                if (j + 1 >= lines.size())
                    throw Drop{aborting("Can't finish station data ? aborting Sta %1\n", name)};
                const QString& l = lines[j + 1];
                if (!l.contains(QLatin1String("Latitude:")))
                    throw Drop{aborting("Latitude ? aborting Sta %1\n", name)};
                lat = digitsOf(l.mid(11, 7));
                lon = digitsOf(l.mid(33, 7));
                elev = digitsOf(l.mid(57, 8));
                fipsLine = j + 2;
            } else {
                const int c1 = st.indexOf(QLatin1Char(':'));
                const int c2 = st.indexOf(QLatin1Char(':'), c1 + 1);
                const QString rest = c2 >= 0 ? st.mid(c2 + 1) : QString();
                lat = digitsOf(rest.mid(1, 7));
                lon = digitsOf(rest.mid(23, 7));
                elev = digitsOf(rest.mid(47, 8));
            }
            if (lat.isEmpty() || lon.isEmpty() || elev.isEmpty() || lat.size() > 6 || lon.size() > 6 || elev.size() > 5)
                throw Drop{aborting("Latitude ? aborting Sta %1\n", name)};
            TStationRecord r;
            r.name = name;
            r.number = number;
            r.latitude = lat.toDouble();
            r.longitude = lon.toDouble();
            r.elevation = elev.toDouble();
            if (!isDDMMLatitude(r.latitude))
                throw Drop{positionMessage(name, QStringLiteral("Latitude"), lat) + QStringLiteral(" The station is left out.")};
            if (!isDDDMMLongitude(r.longitude))
                throw Drop{positionMessage(name, QStringLiteral("Longitude"), lon) + QStringLiteral(" The station is left out.")};
            if (r.elevation > kMaxElevationFt)
                throw Drop{aborting("Latitude ? aborting Sta %1\n", name)};

            // County.
            if (fipsLine >= lines.size() || !lines[fipsLine].contains(QLatin1String("State FIPS"))
                || lines[fipsLine].size() < 51)
                throw Drop{aborting("County ? aborting Sta %1\n", name)};
            QString county = lines[fipsLine].mid(49);
            county.chop(1);
            county = county.trimmed();
            r.county = county + QStringLiteral(", ") + state;
            if (county.isEmpty() || r.county.size() > 25 || !plainText(r.county))
                throw Drop{aborting("County ? aborting Sta %1\n", name)};

            // Month table.
            const int jan = fipsLine + 1 + 12;
            if (jan + 12 > lines.size())
                throw Drop{aborting("Can't find January ? aborting Sta %1\n", name)};
            for (int m = 0; m < 12; ++m) {
                const QString& ml = lines[jan + m];
                if (ml.size() > 12 && ml.at(12) == QLatin1Char('-'))
                    throw Drop{};   // fewer than 12 months
                if (!valueAt(ml, 12, 5, r.tmax[m]) || !valueAt(ml, 20, 5, r.tmin[m]) || !valueAt(ml, 28, 5, r.t[m])
                    || !valueAt(ml, 36, 6, r.p[m]))
                    throw Drop{aborting("Temperature & Precipitation ? aborting Sta %1\n", name)};
                for (double x : {r.tmax[m], r.tmin[m], r.t[m]})
                    if (x < -100 || x > 200 || !fitsToken(x, 1))
                        throw Drop{aborting("Temperature & Precipitation ? aborting Sta %1\n", name)};
                if (r.p[m] < 0 || r.p[m] > 200 || !fitsToken(r.p[m], 2))
                    throw Drop{aborting("Temperature & Precipitation ? aborting Sta %1\n", name)};
            }

            // Freeze dates.
            const int pct = jan + 12 + 20;
            if (pct >= lines.size() || !lines[pct].contains(QLatin1String("50 percent")))
                throw Drop{aborting("Can't get 28F & 32F ? aborting Sta %1\n", name)};
            static const QRegularExpression dateRe(QStringLiteral("^(0[0-9]|1[0-2])/([0-2][0-9]|3[01])$"));
            const int at[4] = {42, 51, 60, 69};
            for (int k = 0; k < 4; ++k) {
                QString d = freezeDate(lines[pct], at[k], k == 1 || k == 3);
                if (!dateRe.match(d).hasMatch() || ((d.left(2) == QLatin1String("00")) != (d.mid(3) == QLatin1String("00"))))
                    throw Drop{aborting("Can't get 28F & 32F ? aborting Sta %1\n", name)};
                r.dates[k] = d;
            }

            // The end of the station: four rules of dashes.
            int dashes = 0;
            int k = pct + 1;
            for (; k < lines.size() && dashes < 4; ++k)
                if (lines[k].contains(QLatin1String("-------")))
                    ++dashes;
            if (dashes < 4)
                throw Drop{aborting("Can't finish data ? aborting Sta %1\n", name)};
            i = k;

            if (!run.writtenNames.contains(name.toLower())) {
                run.writtenNames.insert(name.toLower());
                writeStationRecord(out.records, ++run.recordLabel, r);
                out.written << qMakePair(name, number);
                if (!out.counties.contains(r.county))
                    out.counties << r.county;
            }
        } catch (const Drop& d) {
            if (!d.message.isEmpty())
                showError(d.message);
        }
    }
    if (stationsFound == 0) {
        showError(QStringLiteral("8 EOF or Error"));
        out.ok = false;
    }
    return out;
}

TConvertedFile convertCountyReport(const QString& reportPath, const QString& outputPath, const QString& tmp2Path,
                                   TConverterRun& run)
{
    TConvertedFile failed;
    failed.ok = false;
    QFile in(reportPath);
    if (!in.open(QIODevice::ReadOnly)) {
        showError(QStringLiteral("Can't open input FName TXT file."));
        return failed;
    }
    const QByteArray report = in.readAll();
    in.close();
    QFile out(outputPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Append)) {
        showError(QStringLiteral("Can't open output TXT file."));
        return failed;
    }
    // The data part of the report, from its first "W", kept in the scratch file.
    const qsizetype w = report.indexOf('W');
    {
        QFile t2(tmp2Path);
        if (!t2.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            showError(QStringLiteral("Can't open Tmp2 TXT file."));
            return failed;
        }
        if (w >= 0)
            t2.write(report.mid(w));
    }
    QFile t2(tmp2Path);
    if (!t2.open(QIODevice::ReadOnly)) {
        showError(QStringLiteral("Can't open input T2File TXT file."));
        return failed;
    }
    const QByteArray data = t2.readAll();
    if (w >= 0 && data.size() != report.size() - w) {
        showError(QStringLiteral("Can't return to saved cursor position"));
        return failed;
    }
    // The "N" test looks at the report itself, before the data part.
    const qsizetype n = report.indexOf('N');
    if (w < 0 || (n >= 0 && n < w)) {
        TConvertedFile none;
        none.noData = true;
        return none;
    }
    const int labelBefore = run.recordLabel;
    const QSet<QString> namesBefore = run.writtenNames;
    TConvertedFile r = convertCountyReportText(data, run);
    if (!r.records.isEmpty() && out.write(r.records) != r.records.size()) {
        showError(QStringLiteral("Can't open output TXT file."));
        run.recordLabel = labelBefore;
        run.writtenNames = namesBefore;
        return failed;
    }
    return r;
}

} // namespace quen::climprog
