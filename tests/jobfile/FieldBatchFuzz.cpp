// The field batch reader against generated and mutated CSV texts: no crash,
// every row either read into a job the job file reader accepts or given a
// reason that names its line; a sample of the texts is computed on the
// shipped tables and its CSV holds no NaN or infinity. Deterministic (a
// fixed seed).
#include <QDir>
#include <cmath>
#include <random>

#include "BatchCommand.h"
#include "CalcJob.h"
#include "FieldBatch.h"
#include "JobFileFixture.h"

using namespace quen;

namespace {

const QByteArray kSeeds[] = {
    "id,latitude,longitude,crop,plantingDate,harvestDate,etMethod,elevation\n"
    "A,33.07,-111.97,Alfalfa hay,,,,1200\n"
    "B,43.6,-116.2,\"Corn, grain\",4/20,9/30,TR21,\n",
    "id,station,crop,soil,irrigationType,availableSoilWater,sensitive,cuttings,firstCuttingDate,lastCuttingDate\n"
    "C,MARICOPA AZMET,Tomatoes,Clay,Trickle irrigation,40,false,3,5/1,9/1\n"
    "D,KETCHUM RS,\"Spring grain (barley, oats, wheat)\",Sand,Rain,20,yes,,,\n",
    "id,latitude,longitude,station,crop,netIrrigationDepth,carryOverBegin,carryOverEnd,fractionWetted,"
    "wettingDaysDevelopment,wettingDaysMaturation,stressFactor,etMethod\n"
    "E,32.2,-110.9,,Potatoes,2.5,0.5,0.25,0.3,5,12,0.9,NEH\n"
    "F,36.7,-119.8,,\"Grapes, wine\",,,,,,,,FAO56\n",
};

const char* const kPieces[] = {",", "\"", "\"\"", "\n", "\r\n", " ", "nan", "inf", "-1e308", "1e999", "0", "-0",
                               "2/30", "13/1", "12/31", "0/0", "Alfalfa hay", "Corm", "FAO56", "TR21", "NEH",
                               "MARICOPA AZMET", "latitude", "crop", "id", "99.5", "-181", "true", "maybe",
                               "\xEF\xBB\xBF", "\x00", "\t", "\xC3\x28", "Clay", "Rain", "12", "1e-320"};

class Gen {
public:
    explicit Gen(unsigned seed) : m_rng(seed) {}
    int below(int n) { return int(m_rng() % unsigned(n)); }

    QByteArray mutate(QByteArray t)
    {
        const int edits = 1 + below(6);
        for (int e = 0; e < edits; ++e) {
            const int at = t.isEmpty() ? 0 : below(int(t.size()) + 1);
            switch (below(5)) {
            case 0: t.insert(at, QByteArray(kPieces[below(int(std::size(kPieces)))])); break;
            case 1: if (!t.isEmpty()) t.remove(std::min(at, int(t.size()) - 1), 1 + below(8)); break;
            case 2: if (!t.isEmpty()) t[std::min(at, int(t.size()) - 1)] = char(below(256)); break;
            case 3: t.insert(at, t.mid(below(int(t.size()) + 1), below(40))); break;
            default: {
                // A cell swapped for another piece.
                const int comma = int(t.indexOf(',', at));
                if (comma >= 0) t.insert(comma + 1, QByteArray(kPieces[below(int(std::size(kPieces)))]));
                break;
            }
            }
        }
        return t;
    }

private:
    std::mt19937 m_rng;
};

} // namespace

TEST(FieldBatchFuzz, GeneratedAndMutatedTexts)
{
    test::ShippedDatabase db;
    QDir::setCurrent(db.dir());
    calc::CollectingMessages quiet;
    job::FieldBatch batch;
    Gen gen(271828);
    int rowsRead = 0, refusedFiles = 0, computedSamples = 0;
    constexpr int kInputs = 100000;
    for (int i = 0; i < kInputs; ++i) {
        // Three texts in four keep their header whole and mutate the rows.
        const QByteArray seed = kSeeds[i % std::size(kSeeds)];
        const qsizetype body = seed.indexOf('\n') + 1;
        const QByteArray text = i % 4 == 0 ? gen.mutate(seed) : seed.left(body) + gen.mutate(seed.mid(body));
        job::FieldTable table;
        const job::JobFileError e = job::ReadFieldTable(text, table);
        if (e.failed()) {
            ++refusedFiles;
            ASSERT_FALSE(e.message.isEmpty());
            continue;
        }
        for (const job::FieldRow& row : table.rows) {
            ++rowsRead;
            ASSERT_GT(row.line, 0);
            if (!row.error.isEmpty()) {
                ASSERT_TRUE(row.error.startsWith(QStringLiteral("line %1").arg(row.line))) << row.error.toStdString();
                continue;
            }
            ASSERT_EQ(row.cells.size(), table.columns.size());
            job::JobFile file;
            int column = 0;
            const job::JobFileError r = batch.rowJob(table, row, file, column);
            if (r.failed())
                continue;
            ASSERT_EQ(file.crops.size(), 1);
            if (file.stationByPosition) {
                ASSERT_TRUE(std::isfinite(file.latitude) && std::fabs(file.latitude) <= 90);
                ASSERT_TRUE(std::isfinite(file.longitude) && std::fabs(file.longitude) <= 180);
            }
            const job::JobFileCrop& c = file.crops.first();
            for (const std::optional<double>& v : {c.netIrr, c.carryBeg, c.carryEnd, c.fractionWetted, c.stressFactor, c.asw})
                ASSERT_TRUE(!v || std::isfinite(*v));
        }
        // A sample computed whole: no NaN or infinity printed.
        if (computedSamples < i / 2000) {
            ++computedSamples;
            QList<job::FieldOutcome> out = batch.compute(table, 2);
            ASSERT_EQ(out.size(), table.rows.size());
            // The texts a row echoes (its id, the reason quoting a cell) aside:
            // the numbers alone.
            for (job::FieldOutcome& o : out) {
                o.id.clear();
                o.station.clear();
                o.messages.clear();
                if (!o.error.isEmpty())
                    o.error = QStringLiteral("x");
            }
            for (bool metric : {false, true}) {
                const QString csv = calc::BatchCsv(out, metric).toLower();
                ASSERT_FALSE(csv.contains(QLatin1String("nan")) || csv.contains(QLatin1String("inf"))) << csv.toStdString();
            }
        }
    }
    // The mutations reach both the refusals and the rows.
    EXPECT_GT(refusedFiles, 100);
    EXPECT_GT(rowsRead, kInputs);
    EXPECT_GE(computedSamples, kInputs / 2000 - 1);
}
