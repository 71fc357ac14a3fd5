// Bad input: the station record reader and the county report converter are
// fed damaged variants of valid samples (truncations, random bytes, very
// long lines, lost lines, wrong numbers, empty and blank files). Neither may
// crash, hang or hand on a value that is not a finite number; each input is
// either taken or refused with its message, and whatever the converter
// writes, the reader takes.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "ClimSamples.h"
#include "CountyReport.h"
#include "MessageBoxes.h"
#include "StationRecords.h"

using namespace quen;
using namespace quen::climprog;
using namespace climsamples;

namespace {

class Mutator {
public:
    explicit Mutator(unsigned seed) : m_rng(seed) {}
    int pick(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

    QByteArray mutate(QByteArray in)
    {
        const int steps = 1 + pick(3);
        for (int s = 0; s < steps; ++s) {
            switch (pick(11)) {
            case 0:   // truncation
                in.truncate(pick(int(in.size()) + 1));
                break;
            case 1:   // random bytes
                for (int k = pick(8) + 1; k > 0 && !in.isEmpty(); --k)
                    in[pick(int(in.size()))] = char(pick(256));
                break;
            case 2: {   // a very long line
                const QByteArray chunk(80 + pick(400), "x1 |#W:"[pick(7)]);
                in.insert(pick(int(in.size()) + 1), chunk);
                break;
            }
            case 3: {   // a lost line
                QList<QByteArray> l = in.split('\n');
                if (!l.isEmpty())
                    l.removeAt(pick(int(l.size())));
                in = l.join('\n');
                break;
            }
            case 4: {   // a wrong number
                static const char* bad[] = {"nan", "inf", "-1e308", "1e999", "99999999", "--3", ".", "1.2.3", "0x10",
                                            "-", "12/31", "   "};
                const qsizetype at = in.indexOf(' ', pick(int(in.size()) + 1));
                if (at >= 0)
                    in.insert(at + 1, bad[pick(12)]);
                break;
            }
            case 5:   // a duplicated line
            {
                QList<QByteArray> l = in.split('\n');
                if (!l.isEmpty()) {
                    const int i = pick(int(l.size()));
                    l.insert(i, l[i]);
                }
                in = l.join('\n');
                break;
            }
            case 6:   // digits changed
                for (int k = pick(6) + 1; k > 0 && !in.isEmpty(); --k) {
                    const int i = pick(int(in.size()));
                    if (std::isdigit(static_cast<unsigned char>(in[i])))
                        in[i] = char('0' + pick(10));
                }
                break;
            case 7:   // blanks become other blanks
                in.replace(' ', pick(2) ? "\t" : "  ");
                break;
            case 8:   // a form feed or a carriage return somewhere
                in.insert(pick(int(in.size()) + 1), pick(2) ? "\f" : "\r\n");
                break;
            case 9:   // nothing but blank lines
                if (pick(8) == 0)
                    in = QByteArray(pick(50), '\n');
                break;
            default:   // whole random file, now and then
                if (pick(20) == 0) {
                    in.resize(pick(300));
                    for (char& c : in)
                        c = char(pick(256));
                }
                break;
            }
        }
        return in;
    }

private:
    std::mt19937 m_rng;
};

void expectSound(const TStationFile& f, const QByteArray& input)
{
    if (!f.ok()) {
        EXPECT_TRUE(f.records.isEmpty());
        EXPECT_TRUE(f.error.contains(QStringLiteral(", line "))) << f.error.toStdString();
        return;
    }
    for (const TStationRecord& r : f.records) {
        ASSERT_TRUE(isDDMMLatitude(r.latitude)) << input.toStdString();
        ASSERT_TRUE(isDDDMMLongitude(r.longitude));
        ASSERT_TRUE(std::isfinite(r.elevation));
        for (int m = 0; m < 12; ++m)
            ASSERT_TRUE(std::isfinite(r.tmax[m]) && std::isfinite(r.tmin[m]) && std::isfinite(r.t[m])
                        && std::isfinite(r.p[m]));
        for (const QVariant& v : climateRowValues(r))
            if (v.typeId() == QMetaType::Double)
                ASSERT_TRUE(std::isfinite(v.toDouble()));
    }
}

} // namespace

TEST(BadInput, ReaderTakesOrRefusesEveryDamagedStateFile)
{
    QList<QByteArray> samples{stateFile(1), stateFile(3, QStringLiteral("Pinal, AZ")), QByteArray(), QByteArray("\n\n\n")};
    {
        QByteArray noDates = stateFile(2);
        noDates.replace("06/05 09/10 06/25 08/30 ", "");
        samples << noDates;
    }
    Mutator mut(20261209);
    int taken = 0, refused = 0;
    for (int i = 0; i < 60000; ++i) {
        const QByteArray in = mut.mutate(samples[i % samples.size()]);
        const TStationFile f = parseStationRecords(in, QStringLiteral("fuzz.quen"));
        expectSound(f, in);
        if (::testing::Test::HasFatalFailure())
            return;
        (f.ok() ? taken : refused)++;
    }
    // Both outcomes occur: the inputs really are damaged, and not all of them fatally.
    EXPECT_GT(taken, 1000);
    EXPECT_GT(refused, 10000);
}

TEST(BadInput, ConverterWritesOnlyWhatTheReaderTakes)
{
    TScriptedMessages msgs;
    ReportStation longLine;
    longLine.longStationLine = true;
    longLine.name = QStringLiteral("PICABO");
    ReportStation dashes;
    dashes.name = QStringLiteral("DASHES");
    dashes.dates = {QStringLiteral(" -   "), QStringLiteral(">    "), QStringLiteral("12/31"), QStringLiteral(" 9/1A")};
    const QList<QByteArray> samples{countyReport({ReportStation()}), countyReport({longLine, dashes}),
                                    QByteArray("No station data\n"), QByteArray()};
    Mutator mut(4242);
    int written = 0, messages = 0;
    for (int i = 0; i < 45000; ++i) {
        const QByteArray in = mut.mutate(samples[i % samples.size()]);
        TConverterRun run;
        msgs.clear();
        const TConvertedFile out = convertCountyReportText(in, run);
        messages += msgs.count();
        if (out.records.isEmpty())
            continue;
        const TStationFile back = parseStationRecords(out.records, QStringLiteral("TmpTP.txt"));
        ASSERT_TRUE(back.ok()) << back.error.toStdString() << "\n" << out.records.toStdString();
        ASSERT_EQ(back.records.size(), out.written.size());
        expectSound(back, out.records);
        written += int(back.records.size());
    }
    EXPECT_GT(written, 1000);
    EXPECT_GT(messages, 1000);
}
