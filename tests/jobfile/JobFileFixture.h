// Databases of the shipped tables for the job file tests, and the job the
// windows make: the station taken as "Get New Climate" takes it, each crop
// added through the crop name dialog's operation (AddWorkingCrop) and closed
// as the crop inputs dialog closes, with the inputs a planner typed.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>
#include <functional>
#include <gtest/gtest.h>

#include "ComputeCrop.h"
#include "CropRunContext.h"
#include "CropSetup.h"
#include "JobHeader.h"
#include "JobStore.h"
#include "MainDMod.h"
#include "db/Database.h"
#include "db/Table.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace quen::test {

inline const QString kWindStation = QStringLiteral("MARICOPA AZMET");   // has a wind, humidity and radiation record
inline const QString kDryStation = QStringLiteral("KETCHUM RS");        // has none

// A fresh database of the shipped tables in a folder of its own.
class ShippedDatabase {
public:
    explicit ShippedDatabase(const QString& name = QStringLiteral("job.sqlite")) : m_name(name)
    {
        Database::setDataDirectory(QStringLiteral(QUEN_DATA_DIR) + QStringLiteral("/tables"));
        Database::open(path());
    }
    ~ShippedDatabase()
    {
        if (Database::isOpen())
            Database::close();
    }
    QString path() const { return m_dir.filePath(m_name); }
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_name;
};

inline QList<QVariantList> Rows(const QString& table)
{
    QList<QVariantList> rows;
    TTable t(table);
    t.open();
    for (t.first(); !t.eof(); t.next())
        rows << t.rowValues();
    t.close();
    return rows;
}

// What the planner types in the crop inputs dialog for one crop (fields of
// "QuenWkCrop.DB" and their values); empty: closes it unchanged.
using TypedInputs = QList<QPair<QString, QVariant>>;

// The job the windows make: New Job, the job panel's texts, "Get New Climate"
// on station (the method index as the ET method dialog leaves it), each crop
// added and its inputs dialog closed with typed; each crop computed.
inline void MakeJobAsTheWindowsDo(CropRunContext& ctx, JobState& state, CropCurveState& curves, const QString& jobName,
                                  const QString& station, int method,
                                  const QList<QPair<QString, TypedInputs>>& crops)
{
    mainprog::TDMod dm;
    TTable& wk = *dm.tblQuenWkCrop;
    job::StartJob(ctx, state, wk);
    test::SetJobHeader(ctx, {jobName, QStringLiteral("North field"), QStringLiteral("Pat"), QStringLiteral("12/09/26"),
                             QStringLiteral("Valley Farms"), QStringLiteral("F-7"), QStringLiteral("design")});
    {
        TTable clim(QStringLiteral("Climate.DB"));
        clim.open();
        ASSERT_TRUE(clim.locate(QStringLiteral("Station Name"), station));
        job::CopyStation(clim, ctx);
        clim.close();
    }
    ctx.ETMethodIndex = method;
    ctx.ETMethodText = method == 1 ? QStringLiteral("Blaney Criddle (TR21)")
        : method == 2             ? QStringLiteral("FAO Penman-Monteith,NEH2 Bas crop curves")
                                  : QStringLiteral("FAO Penman-Monteith,FAO 56,Table12");
    for (const auto& [crop, typed] : crops) {
        dm.tblCreateCrp->open();
        ASSERT_TRUE(dm.tblCreateCrp->locate(QStringLiteral("Cop Name"), crop)) << crop.toStdString();
        ASSERT_EQ(mainprog::AddWorkingCrop(ctx, state, dm), mainprog::AddCropResult::Added) << crop.toStdString();
        for (const auto& [field, value] : typed)
            wk.field(field).setValue(value);
        wk.field(QStringLiteral("Beg Dat"))
            .setAsString(QStringLiteral("%1/%2").arg(wk.field(QStringLiteral("Plant Mo")).asInteger())
                             .arg(wk.field(QStringLiteral("Plant Day")).asInteger()));
        wk.field(QStringLiteral("End Dat"))
            .setAsString(QStringLiteral("%1/%2").arg(wk.field(QStringLiteral("Harvest Mo")).asInteger())
                             .arg(wk.field(QStringLiteral("Harvest Day")).asInteger()));
        wk.post();
        ComputeCrop(ctx, curves, wk);
    }
    state.JobSaveState = 1;
    wk.close();
}

} // namespace quen::test
