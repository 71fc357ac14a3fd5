// Daily weather: the plain CSV and the NCEI Daily Summaries CSV (units, quoted
// attribute columns, refused rows with their line numbers), the daily FAO-56
// ETo against FAO-56 Example 18, and the FAO-56 rules for missing data with
// their counts.
#include <gtest/gtest.h>

#include <QFile>
#include <cmath>

#include "DailyWeather.h"
#include "ReferenceET.h"

using namespace quen;

namespace {

QString ReadText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

constexpr int kDaysInMonthTest[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

const QString kAzmet = QStringLiteral(QUEN_DAILY_DATA "/azmet_maricopa_2003_2020.csv");

} // namespace

TEST(DailyWeatherCsv, ReadsTheEighteenYearSampleWithoutRefusingAnyDay)
{
    const DailyWeatherFile f = ParseDailyWeatherCsv(ReadText(kAzmet), 3.0);
    ASSERT_TRUE(f.ok()) << f.error.toStdString();
    EXPECT_TRUE(f.refused.empty());
    // 2003..2020: 18 x 365 days and the five leap days 2004, 2008, 2012, 2016, 2020
    ASSERT_EQ(f.days.size(), 18u * 365u + 5u);
    EXPECT_EQ(f.days.front().date, (CivilDate{2003, 1, 1}));
    EXPECT_EQ(f.days.back().date, (CivilDate{2020, 12, 31}));
    EXPECT_EQ(f.days.back().date.dayOfYear(), 366);
    const DailyWeatherDay& d = f.days.front();   // 2003-01-01
    EXPECT_DOUBLE_EQ(d.rs, 12.48);
    EXPECT_DOUBLE_EQ(d.tmax, 17.5);
    EXPECT_DOUBLE_EQ(d.tmin, -0.5);
    EXPECT_DOUBLE_EQ(d.tdew, -0.1);
    EXPECT_DOUBLE_EQ(d.rhMax, 95.4);
    EXPECT_DOUBLE_EQ(d.rhMin, 24.9);
    EXPECT_DOUBLE_EQ(d.wind, 1.0);
    EXPECT_DOUBLE_EQ(d.windHeightM, 3.0);
    EXPECT_DOUBLE_EQ(d.rain, 0.0);
    EXPECT_TRUE(std::isnan(d.sunshineHours));
}

TEST(DailyWeatherCsv, ColumnsInAnyOrderEmptyCellsMissingAndBadRowsRefusedWithTheirLine)
{
    const QString text = QStringLiteral(
        "# a comment\n"
        "RAIN_MM,Date,Tmin_C,Tmax_C,wind_m_s,wind_height_m,note\n"   // line 2
        "1.5,2021-03-01,5,20,,,x\n"                                  // 3: kept, wind missing
        "0,2021-03-02,6,21,3,10,\n"                                  // 4: kept, wind at 10 m
        "\n"
        "0,2021-02-29,6,21,3,10,\n"                                  // 6: not a date (2021 no leap year)
        "0,2021-03-03,6,abc,3,10,\n"                                 // 7: Tmax not a number
        "0,2021-03-04,25,21,3,10,\n"                                 // 8: Tmax below Tmin
        "-1,2021-03-05,6,21,3,10,\n"                                 // 9: negative rain
        "0,2021-03-02,6,21,3,10,\n"                                  // 10: date repeated
        "0,2021-03-06,6,21,3\n"                                      // 11: too few fields
        "0,2021-03-07,,21,3,10,\n"                                   // 12: Tmin missing
        "0,2021-03-08,6,21,3,0.05,\n"                                // 13: wind height too low for eq. 47
        "0,2021-03-01,6,21,3,10,\n"                                  // 14: out of order
        "0,2021-03-09,6,21,3,10,\n");                                // 15: kept
    const DailyWeatherFile f = ParseDailyWeatherCsv(text, 2.0);
    ASSERT_TRUE(f.ok());
    ASSERT_EQ(f.days.size(), 3u);
    EXPECT_EQ(f.days[0].date, (CivilDate{2021, 3, 1}));
    EXPECT_DOUBLE_EQ(f.days[0].rain, 1.5);
    EXPECT_TRUE(std::isnan(f.days[0].wind));
    EXPECT_DOUBLE_EQ(f.days[0].windHeightM, 2.0);
    EXPECT_DOUBLE_EQ(f.days[1].windHeightM, 10.0);
    EXPECT_TRUE(std::isnan(f.days[1].rs));
    EXPECT_EQ(f.days[2].date, (CivilDate{2021, 3, 9}));

    std::vector<int> lines;
    for (const RefusedLine& r : f.refused) {
        lines.push_back(r.line);
        EXPECT_FALSE(r.reason.isEmpty());
    }
    EXPECT_EQ(lines, (std::vector<int>{6, 7, 8, 9, 10, 11, 12, 13, 14}));
    EXPECT_TRUE(f.refused[1].reason.contains(QStringLiteral("abc")));
    EXPECT_TRUE(f.refused[4].reason.contains(QStringLiteral("repeated")));
}

TEST(DailyWeatherCsv, AFileWithoutTheRequiredColumnsIsRefusedAsAWhole)
{
    EXPECT_FALSE(ParseDailyWeatherCsv(QStringLiteral("date,tmax_C\n2021-01-01,5\n")).ok());
    EXPECT_FALSE(ParseDailyWeatherCsv(QStringLiteral("# only comments\n\n")).ok());
    EXPECT_FALSE(ParseDailyWeatherCsv(QString()).ok());
    // a byte order mark before the header and Windows line ends are read
    const DailyWeatherFile bom =
        ParseDailyWeatherCsv(QString(QChar(0xFEFF)) + QStringLiteral("date,tmax_C,tmin_C\r\n2021-01-01,5,1\r\n"));
    ASSERT_TRUE(bom.ok());
    EXPECT_EQ(bom.days.size(), 1u);
}

TEST(NceiDailySummaries, StandardUnitsQuotedAttributesAndOneStation)
{
    const QString text = QStringLiteral(
        "\"STATION\",\"NAME\",\"DATE\",\"AWND\",\"PRCP\",\"PRCP_ATTRIBUTES\",\"TMAX\",\"TMAX_ATTRIBUTES\","
        "\"TMIN\",\"TMIN_ATTRIBUTES\",\"TSUN\"\n"
        "\"USW00023183\",\"PHOENIX AIRPORT, AZ US\",\"2020-07-01\",\"6.93\",\"0.00\",\",,W,2400\",\"109\",\",,W\","
        "\"84\",\",,W\",\"720\"\n"
        "\"USW00023183\",\"PHOENIX AIRPORT, AZ US\",\"2020-07-02\",\"\",\"0.12\",\",,W,2400\",\"104\",\",,W\","
        "\"86\",\",,W\",\"\"\n"
        "\"USW00023184\",\"ELSEWHERE, AZ US\",\"2020-07-03\",\"5\",\"0\",\"\",\"100\",\"\",\"80\",\"\",\"\"\n"
        "\"USW00023183\",\"PHOENIX AIRPORT, AZ US\",\"2020-07-04\",\"5\",\"0\",\"\",\"M\",\"\",\"80\",\"\",\"\"\n");
    const DailyWeatherFile f = ParseNceiDailySummaries(text, NceiUnits::Standard, 10.0);
    ASSERT_TRUE(f.ok()) << f.error.toStdString();
    ASSERT_EQ(f.days.size(), 2u);
    const DailyWeatherDay& a = f.days[0];
    EXPECT_NEAR(a.tmax, (109.0 - 32.0) * 5.0 / 9.0, 1e-12);
    EXPECT_NEAR(a.tmin, (84.0 - 32.0) * 5.0 / 9.0, 1e-12);
    EXPECT_NEAR(a.wind, 6.93 * 0.44704, 1e-12);
    EXPECT_DOUBLE_EQ(a.windHeightM, 10.0);
    EXPECT_DOUBLE_EQ(a.rain, 0.0);
    EXPECT_DOUBLE_EQ(a.sunshineHours, 12.0);
    EXPECT_NEAR(f.days[1].rain, 0.12 * 25.4, 1e-12);
    EXPECT_TRUE(std::isnan(f.days[1].wind));
    ASSERT_EQ(f.refused.size(), 2u);
    EXPECT_EQ(f.refused[0].line, 4);   // second station
    EXPECT_EQ(f.refused[1].line, 5);   // TMAX "M"
}

TEST(NceiDailySummaries, MetricUnitsAreTakenAsTheyAre)
{
    const QString text = QStringLiteral("\"STATION\",\"DATE\",\"PRCP\",\"TMAX\",\"TMIN\",\"AWND\",\"ADPT\"\n"
                                        "\"X\",\"2020-01-05\",\"2.3\",\"15.6\",\"3.3\",\"2.1\",\"1.5\"\n");
    const DailyWeatherFile f = ParseNceiDailySummaries(text, NceiUnits::Metric, 2.0);
    ASSERT_EQ(f.days.size(), 1u);
    EXPECT_DOUBLE_EQ(f.days[0].rain, 2.3);
    EXPECT_DOUBLE_EQ(f.days[0].tmax, 15.6);
    EXPECT_DOUBLE_EQ(f.days[0].tmin, 3.3);
    EXPECT_DOUBLE_EQ(f.days[0].wind, 2.1);
    EXPECT_DOUBLE_EQ(f.days[0].tdew, 1.5);
    EXPECT_FALSE(ParseNceiDailySummaries(QStringLiteral("\"STATION\",\"DATE\",\"PRCP\"\n"), NceiUnits::Metric, 2).ok());
}

// FAO-56 Example 18: Brussels, 6 July, 50 deg 48' N, 100 m; Tmax 21.5, Tmin
// 12.3 deg C; RHmax 84, RHmin 63 %; wind 10 km/h at 10 m; sunshine 9.25 h.
// Printed: ea 1.409, es 1.997 kPa, u2 2.078 m/s, Ra 41.09, N 16.1 h, Rs 22.07,
// Rso 30.90, Rns 17.00, Rnl 3.71, Rn 13.28 MJ/m2/day, ETo 3.9 mm/day.
TEST(DailyReferenceEt, Fao56Example18Brussels)
{
    DailyWeatherDay d;
    d.date = {1998, 7, 6};
    d.tmax = 21.5;
    d.tmin = 12.3;
    d.rhMax = 84;
    d.rhMin = 63;
    d.wind = 10.0 / 3.6;
    d.windHeightM = 10;
    d.sunshineHours = 9.25;
    d.rain = 0;
    DailyStation st{50.0 + 48.0 / 60.0, 100.0, false};
    WeatherFillCounts counts;
    const DailyEtoTerms t = DailyReferenceET(d, st, &counts);
    EXPECT_EQ(d.date.dayOfYear(), 187);
    EXPECT_NEAR(t.ea, 1.409, 0.0015);
    EXPECT_NEAR(t.es, 1.997, 0.0015);
    EXPECT_NEAR(t.u2, 2.078, 0.002);
    EXPECT_NEAR(t.Ra, 41.09, 0.01);
    EXPECT_NEAR(t.N, 16.1, 0.05);
    EXPECT_NEAR(t.Rs, 22.07, 0.01);
    EXPECT_NEAR(t.Rso, 30.90, 0.01);
    EXPECT_NEAR(t.Rns, 17.00, 0.01);
    EXPECT_NEAR(t.Rnl, 3.71, 0.01);
    EXPECT_NEAR(t.Rn, 13.28, 0.02);
    EXPECT_NEAR(t.eto, 3.9, 0.05);
    // radiation from sunshine is one of the FAO-56 fill rules
    EXPECT_EQ(counts.rsFromSunshine, 1);
    EXPECT_EQ(counts.total(), 1);
}

// The daily ETo and the monthly Penman-Monteith of the monthly computation
// agree on the same station: over the 18 AZMET years the mean daily ETo of
// each month against the monthly ETo from the month's mean Tmax, Tmin, Rs,
// RHmax, RHmin and wind. The two differ by what averaging does to the
// nonlinear terms, by G (0 for days, from the monthly temperatures for
// months) and by the monthly routine's own constants; a units or day-of-year
// fault would show as far more.
TEST(DailyReferenceEt, MonthlyMeansAgreeWithTheMonthlyPenmanMonteith)
{
    const DailyWeatherFile f = ParseDailyWeatherCsv(ReadText(kAzmet), 3.0);
    ASSERT_TRUE(f.ok());
    const DailyStation st{33.069, 361.0, false};
    const std::vector<DailyEtoDay> e = DailyReferenceET(f.days, st);
    double n[13] = {}, eto[13] = {}, tx[13] = {}, tn[13] = {}, rs[13] = {}, rhx[13] = {}, rhn[13] = {}, u[13] = {};
    for (std::size_t i = 0; i < f.days.size(); ++i) {
        const DailyWeatherDay& d = f.days[i];
        const int m = d.date.month;
        n[m] += 1;
        eto[m] += e[i].eto;
        tx[m] += d.tmax;
        tn[m] += d.tmin;
        rs[m] += d.rs;
        rhx[m] += d.rhMax;
        rhn[m] += d.rhMin;
        u[m] += d.wind;
    }
    MonthlyValues tminF{}, tmaxF{};
    for (int m = 1; m <= 12; ++m) {
        tmaxF[m] = tx[m] / n[m] * 9.0 / 5.0 + 32.0;
        tminF[m] = tn[m] / n[m] * 9.0 / 5.0 + 32.0;
    }
    const MonthlyValues meanC = MonthlyMeanTempC(tminF, tmaxF);
    double annualDaily = 0, annualMonthly = 0;
    for (int m = 1; m <= 12; ++m) {
        PenmanMonteithInputs in;
        in.tminF = tminF[m];
        in.tmaxF = tmaxF[m];
        in.windMph = u[m] / n[m] * 2.236936;
        in.rsLangleys = rs[m] / n[m] / 0.041866;
        in.rhMax = rhx[m] / n[m];
        in.rhMin = rhn[m] / n[m];
        in.as = 0.25;
        in.bs = 0.50;
        in.elevationFt = 361.0 / 0.3048;
        in.stationType = QStringLiteral("Other station");
        in.stationHeightM = 3.0;
        in.stationLoc = QStringLiteral("Interior location");
        const double monthly = PenmanMonteithETo(m, 33.069 * 3.141592653589793 / 180.0, meanC, in);
        const double daily = eto[m] / n[m];
        EXPECT_NEAR(daily, monthly, 0.08 * monthly + 0.1) << "month " << m;
        annualDaily += daily * kDaysInMonthTest[m];
        annualMonthly += monthly * kDaysInMonthTest[m];
    }
    EXPECT_NEAR(annualDaily, annualMonthly, 0.03 * annualMonthly);
}

// Without radiation, humidity and wind: Hargreaves-Samani eq. 50 (kRs 0.16
// interior, 0.19 coastal, never above Rso), ea = e(Tmin) (eq. 48), u2 = 2 m/s;
// each use counted; a missing rain counted and taken as 0.
TEST(DailyReferenceEt, MissingDataFilledByTheFao56RulesAndCounted)
{
    DailyWeatherDay d;
    d.date = {2021, 4, 15};
    d.tmax = 24;
    d.tmin = 10;
    const DailyStation interior{33.0, 360.0, false}, coastal{33.0, 360.0, true};
    WeatherFillCounts c;
    const DailyEtoTerms a = DailyReferenceET(d, interior, &c);
    const DailyEtoTerms b = DailyReferenceET(d, coastal, nullptr);
    EXPECT_NEAR(a.Rs, 0.16 * std::sqrt(14.0) * a.Ra, 1e-12);
    EXPECT_NEAR(b.Rs, 0.19 * std::sqrt(14.0) * b.Ra, 1e-12);
    EXPECT_NEAR(a.ea, 0.6108 * std::exp(17.27 * 10 / (10 + 237.3)), 1e-12);
    EXPECT_DOUBLE_EQ(a.u2, 2.0);
    EXPECT_EQ(c.rsFromTemperature, 1);
    EXPECT_EQ(c.eaFromTmin, 1);
    EXPECT_EQ(c.windDefault, 1);

    // a very wide daily range would give more than clear-sky radiation
    d.tmax = 45;
    d.tmin = -5;
    const DailyEtoTerms wide = DailyReferenceET(d, coastal, nullptr);
    EXPECT_DOUBLE_EQ(wide.Rs, wide.Rso);

    // the dew point is used before the relative humidity; RHmin kept for Kc max
    d.tmax = 24;
    d.tmin = 10;
    d.tdew = 5;
    d.rhMax = 90;
    d.rhMin = 30;
    const DailyEtoTerms h = DailyReferenceET(d, interior, nullptr);
    EXPECT_NEAR(h.ea, 0.6108 * std::exp(17.27 * 5 / (5 + 237.3)), 1e-12);
    EXPECT_DOUBLE_EQ(h.rhMin, 30);

    std::vector<DailyWeatherDay> days(3, d);
    days[1].date = {2021, 4, 16};
    days[2].date = {2021, 4, 17};
    days[1].rain = 4;
    WeatherFillCounts c2;
    const std::vector<DailyEtoDay> e = DailyReferenceET(days, interior, &c2);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(c2.rainMissing, 2);
    EXPECT_DOUBLE_EQ(e[0].rain, 0);
    EXPECT_DOUBLE_EQ(e[1].rain, 4);
    EXPECT_EQ(c2.rsFromTemperature, 3);
    EXPECT_EQ(c2.eaFromTmin, 0);
}

TEST(DailyReferenceEt, PolarDaysAndCalendarStayFinite)
{
    DailyWeatherDay d;
    d.date = {2021, 12, 21};
    d.tmax = -10;
    d.tmin = -20;
    const DailyEtoTerms night = DailyReferenceET(d, DailyStation{75.0, 0.0, true}, nullptr);
    EXPECT_DOUBLE_EQ(night.Ra, 0.0);
    EXPECT_TRUE(std::isfinite(night.eto));
    d.date = {2021, 6, 21};
    const DailyEtoTerms day = DailyReferenceET(d, DailyStation{75.0, 0.0, true}, nullptr);
    EXPECT_NEAR(day.N, 24.0, 1e-9);

    EXPECT_EQ((CivilDate{2020, 12, 31}).dayOfYear(), 366);
    EXPECT_EQ((CivilDate{2021, 12, 31}).dayOfYear(), 365);
    EXPECT_FALSE((CivilDate{1900, 2, 29}).valid());
    EXPECT_TRUE((CivilDate{2000, 2, 29}).valid());
    const CivilDate x{2016, 2, 29};
    EXPECT_EQ(CivilDate::fromSerial(x.serial()), x);
    EXPECT_EQ((CivilDate{1970, 1, 1}).serial(), 0);
}
