// Sample inputs of the climate imports: station records and downloaded
// county reports laid out as the converter reads them.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <QString>
#include <QStringList>

#include "Database.h"
#include "StationRecords.h"
#include "Table.h"

namespace climsamples {

using quen::climprog::TStationRecord;

inline TStationRecord station(const QString& name, const QString& county = QStringLiteral("Blaine, ID"),
                              const QString& number = QStringLiteral("104845"))
{
    TStationRecord r;
    r.name = name;
    r.county = county;
    r.number = number;
    r.latitude = 4341;
    r.longitude = 11422;
    r.elevation = 5820;
    for (int m = 0; m < 12; ++m) {
        r.tmax[m] = 31.6 + 4 * m;
        r.tmin[m] = 3.9 + 3 * m;
        r.t[m] = 17.8 + 3.5 * m;
        r.p[m] = 2.25 - 0.1 * m;
    }
    r.dates = {QStringLiteral("06/05"), QStringLiteral("09/10"), QStringLiteral("06/25"), QStringLiteral("08/30")};
    return r;
}

inline QByteArray stateFile(int n, const QString& county = QStringLiteral("Blaine, ID"))
{
    QByteArray out;
    for (int i = 1; i <= n; ++i)
        quen::climprog::writeStationRecord(out, i, station(QStringLiteral("STATION %1").arg(i), county,
                                                          QStringLiteral("%1").arg(100000 + i)));
    return out;
}

// Writes text at a character position of a line, padding with blanks.
inline void put(QString& line, int at, const QString& text)
{
    if (line.size() < at)
        line += QString(at - line.size(), QLatin1Char(' '));
    line = line.left(at) + text + line.mid(at + text.size());
}

struct ReportStation {
    QString name = QStringLiteral("KETCHUM RS");
    QString number = QStringLiteral("ID104845");
    QString county = QStringLiteral("Blaine");
    QString lat = QStringLiteral("43 41"), lon = QStringLiteral("114 22"), elev = QStringLiteral("5820");
    bool longStationLine = false;
    QStringList dates = {QStringLiteral(" 6/05"), QStringLiteral(" 9/10"), QStringLiteral(" 6/25"), QStringLiteral(" 8/30")};
    int months = 12;                 // fewer: the table ends with "-" lines
    QString latitudeWord = QStringLiteral("Latitude:");
    QString fipsWord = QStringLiteral("State FIPS");
    QString percentWord = QStringLiteral("50 percent");
    int dashRules = 4;
};

inline QStringList stationBlock(const ReportStation& s)
{
    QStringList l;
    QString st = QStringLiteral("WS Station : %1, %2  Period of record").arg(s.name, s.number);
    if (s.longStationLine) {
        // Position data after the line's second ":".
        QString rest;
        put(rest, 1, s.lat);
        put(rest, 23, s.lon);
        put(rest, 47, s.elev);
        st = QStringLiteral("WS Station : %1, %2  Where:").arg(s.name, s.number) + rest;
        while (st.size() < 90)
            st += QLatin1Char(' ');
        st += QLatin1Char('|');
    }
    l << st;
    if (!s.longStationLine) {
        QString pos = s.latitudeWord;
        put(pos, 11, s.lat);
        put(pos, 22, QStringLiteral("Longitude:"));
        put(pos, 33, s.lon);
        put(pos, 46, QStringLiteral("Elevation:"));
        put(pos, 57, s.elev);
        l << pos;
    }
    QString fips = s.fipsWord + QStringLiteral(": 16  County FIPS: 013");
    put(fips, 49, s.county + QLatin1Char(':'));
    l << fips;
    for (int i = 0; i < 12; ++i)
        l << QStringLiteral("   table heading %1").arg(i);
    const char* months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 0; m < 12; ++m) {
        QString ml = QString::fromLatin1(months[m]);
        if (m >= s.months) {
            put(ml, 12, QStringLiteral("-----"));
        } else {
            put(ml, 12, QString::number(31.6 + 4 * m, 'f', 1).rightJustified(5));
            put(ml, 20, QString::number(3.9 + 3 * m, 'f', 1).rightJustified(5));
            put(ml, 28, QString::number(17.8 + 3.5 * m, 'f', 1).rightJustified(5));
            put(ml, 36, QString::number(2.25 - 0.1 * m, 'f', 2).rightJustified(6));
        }
        l << ml;
    }
    for (int i = 0; i < 20; ++i)
        l << QStringLiteral("   freeze table %1").arg(i);
    QString pct = QStringLiteral("   ") + s.percentWord;
    const int at[4] = {42, 51, 60, 69};
    for (int k = 0; k < 4; ++k)
        put(pct, at[k], s.dates.value(k));
    l << pct;
    l << QStringLiteral("   90 percent   ...");
    for (int i = 0; i < s.dashRules; ++i)
        l << QStringLiteral("------------------------------------------") << QStringLiteral("   notes");
    return l;
}

inline QByteArray countyReport(const QList<ReportStation>& stations)
{
    QStringList l{QStringLiteral("   Western Regional Climate Center county summary"), QString()};
    for (const ReportStation& s : stations)
        l << stationBlock(s) << QString();
    return (l.join(QLatin1Char('\n')) + QStringLiteral("\n\f\n")).toLatin1();
}

// A fresh database for each test.
class ClimDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int n = 0;
        quen::Database::open(m_dir.filePath(QStringLiteral("import-%1.sqlite").arg(++n)));
    }
    QString write(const QString& name, const QByteArray& text)
    {
        QFile f(m_dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return f.fileName();
    }
    static QStringList column(const QString& table, const QString& field)
    {
        quen::TTable t(table);
        t.open();
        QStringList out;
        for (t.first(); !t.eof(); t.next())
            out << t.field(field).asString();
        return out;
    }
    // The county keys of the stations of "Climate.DB" that "County" does not
    // list: the main program's station dialog could not reach them.
    static QStringList unlistedCounties()
    {
        const QStringList listed = column(QStringLiteral("County"), QStringLiteral("County"));
        QStringList out;
        for (const QString& c : column(QStringLiteral("Climate.DB"), QStringLiteral("County")))
            if (!listed.contains(c) && !out.contains(c))
                out << c;
        return out;
    }
    static QStringList sortedUnique(QStringList l)
    {
        l.removeDuplicates();
        l.sort();
        return l;
    }
    QTemporaryDir m_dir;
};


} // namespace climsamples
