// Jobs on the shipped stations for the output tests: the context filled as
// the station choice fills it, working crops appended from the shipped crop
// records and local defaults, each computed with ComputeCrop.
#pragma once

#include <QString>
#include <QStringList>

#include "CropRunContext.h"
#include "PreparedReport.h"

namespace quen {
class TTable;
}

namespace quen::test {

struct JobCrop {
    QString crop;            // "Cop Name" of "QuenCrop.DB"
    int curveIndex = 0;      // 0..5
    int pm = 0, pd = 0, hm = 0, hd = 0;   // 0: the crop record's dates
    double carryBeg = 0, carryEnd = 0;
};

struct Job {
    QString station;
    int etIndex = 1;         // 1 TR-21, 2 PM + NEH2, 3 PM + FAO 56 Table 12
    QList<JobCrop> crops;
};

// Empties the working crops, fills the context's job and station groups for
// the station and the ET method, then appends and computes each crop in turn
// (the context ends on the last). wk stays open.
void RunJob(CropRunContext& ctx, CropCurveState& curves, TTable& wk, const Job& job);

// Appends one working crop and computes it; the handle stands on it.
void AddCrop(CropRunContext& ctx, CropCurveState& curves, TTable& wk, const JobCrop& c, int cropNo);

// The text of a prepared report, page by page: each line holds the texts of
// one top edge, left to right, joined by " | ".
QString ReportText(const report::PreparedReport& rep);

// Compares text with the expected file <scenario>/<name>.txt; with
// QUEN_REGEN_GOLDEN=1 in the environment the file is written instead.
// Returns an empty string when they agree, otherwise a line diff.
QString CompareGolden(const QString& scenario, const QString& name, const QString& text);

} // namespace quen::test
