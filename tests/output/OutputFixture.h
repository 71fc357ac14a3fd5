// A fresh database made from the shipped data, the main program's data
// module over it, and a job on a shipped station with working crops
// computed by ComputeCrop, as the output dialog and the reports find them.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "CropRunContext.h"

namespace quen::mainprog {
class TDMod;
}

namespace quen::test {

// One working crop: a shipped crop record computed on a shipped station.
struct CropInputs {
    QString station = QStringLiteral("MARICOPA AZMET");
    QString crop = QStringLiteral("Corn, grain");
    int etIndex = 2;        // 1 Blaney-Criddle, 2 PM + NEH 2 basal curves, 3 PM + FAO 56 Table 12
    int curveIndex = 0;     // 0..5
    double carryBeg = 0.0, carryEnd = 0.0;
    bool elevationCorrection = false;   // "Elevation Correction" of "SystemDefaults.db"
};

// Reads a scenario's "input.txt" (key = value lines: station, crop,
// etIndex, curveIndex, carryBeg, carryEnd, elevationCorrection).
CropInputs readCropInputs(const QString& path);

class OutputDatabase {
public:
    // Creates the database (QUENPM_DB in a temporary folder), the data
    // module, and makes the temporary folder the working directory.
    OutputDatabase();
    ~OutputDatabase();

    // Sets the job on the crop's station as the station choice does,
    // appends the working crop seeded from its crop record and the local
    // defaults, and computes it. The data module's working-crop handle is
    // left open on the crop's row.
    void compute(const CropInputs& inputs);

    QString dbPath() const;

    CropRunContext ctx;
    CropCurveState curves;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<mainprog::TDMod> m_dmod;
    QString m_oldCwd;
    int m_cropNo = 0;
};

} // namespace quen::test
