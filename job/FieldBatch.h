// Field batches: many fields, one a row of a CSV text, each computed as a job
// of one crop. A row gives the field's id, its position (or a station by
// name), its crop and any crop inputs, in columns named as the job file
// names them; each field is made as a job file of that field would be made
// (the nearest station that supports the job's method, the crop seeded as
// "Add New Crop" seeds it, the inputs over the seeded ones), so that its
// results are those "quenpm-calc compute" gives for that job file.
//
// For speed nothing is written: the station, wind, curve and defaults tables
// are read once (a station's and a curve's rows when first asked for), each
// field's CropInputs is built in memory and RunCrop computes it, on as many
// workers as asked for. A field that cannot be computed keeps its row with
// the reason, naming the line and the column. A row that gives the field an
// irrigated area (and, as a job file may, its Ea, ECe threshold, Ec, operating
// hours and ECw) also gets the farm's water of that one crop.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "CropRun.h"
#include "FarmWater.h"
#include "JobFile.h"

namespace quen::job {

// The columns a field batch may have, in the order the documentation lists
// them: "id", "crop" and either "station" or "latitude" and "longitude" are
// required; the others may be left out or left empty (seeded).
const QStringList& FieldBatchColumns();

// One data row of the file: its line, its cells by column, or the reason it
// cannot be read (a quote left open, more values than columns).
struct FieldRow {
    int line = 0;
    QStringList cells;             // as many as the header has columns
    QString id;
    QString error;                 // "line 4, column 7: ..."
};

// The header and the rows of a field batch file. A file whose header cannot
// be used (no header, an unknown or repeated column, a required one missing)
// is refused as a whole: the error names the line and column.
struct FieldTable {
    QStringList columns;
    QList<FieldRow> rows;
};
JobFileError ReadFieldTable(const QByteArray& text, FieldTable& table);

// The farm's water of a field with an irrigated area (ComputeFarmWater of its
// one crop): season totals and the system capacity.
struct FieldFarm {
    bool given = false;            // the row gives an irrigated area above 0
    bool available = false;        // false: see note (water too saline for the crop)
    QString note;
    double areaAcres = 0, areaHa = 0, leachingReq = 0;
    double seasonGross50In = 0, seasonGross80In = 0;
    double seasonDiversion50AcFt = 0, seasonDiversion80AcFt = 0, seasonDiversion50M3 = 0, seasonDiversion80M3 = 0;
    double capacityGpm = 0, capacityGpmPerAcre = 0, capacityLps = 0, capacityLpsPerHa = 0;
};

// What a field's row yields.
struct FieldOutcome {
    int line = 0;
    QString id;
    QString error;                 // empty when the field was computed
    QString station;
    std::optional<double> distanceKm;       // from the field's position
    std::optional<double> elevationDiffFt;  // station minus field, when the row gives the field's elevation
    int etMethodIndex = 0;         // the method the crop was computed by
    QStringList messages;          // the computation's messages
    // Customary and metric results (in, cm).
    double cropET = 0, effPrecip50 = 0, effPrecip80 = 0, netIrr50 = 0, netIrr80 = 0;
    double cropETcm = 0, effPrecip50cm = 0, effPrecip80cm = 0, netIrr50cm = 0, netIrr80cm = 0;
    MonthlyValues monthlyNetIrr50{}, monthlyNetIrr50cm{};
    FieldFarm farm;
};

class FieldBatch {
public:
    // Reads the tables the fields are chosen among (the database is open).
    FieldBatch();
    ~FieldBatch();
    FieldBatch(const FieldBatch&) = delete;
    FieldBatch& operator=(const FieldBatch&) = delete;

    // The fields of table, in its order. The rows are made ready on the
    // calling thread (the only one that reads tables) and computed by
    // workers threads; progress(done, total) is called on the calling thread
    // now and then.
    QList<FieldOutcome> compute(const FieldTable& table, int workers = 1,
                                const std::function<void(int, int)>& progress = {});

    // One row as the job file it stands for (a job named "batch" of one crop),
    // or the reason; column gets the column the reason is about (0: none).
    JobFileError rowJob(const FieldTable& table, const FieldRow& row, JobFile& file, int& column) const;

private:
    struct Tables;
    std::unique_ptr<Tables> m;
};

} // namespace quen::job
