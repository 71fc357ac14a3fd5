#include "ClimDMod.h"

#include "DModPairs.h"
#include "Database.h"
#include "DbInternal.h"
#include "Schema.h"

namespace quen::climprog {

TDMod* DMod = nullptr;

TDMod::TDMod(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("DMod"));
    QUEN_DMOD_PAIR(tblClim, datClim, "Climate.DB")
    QUEN_DMOD_PAIR(tblWHR, datWHR, "ClimWHR")
    QUEN_DMOD_PAIR(tblCounty, datCounty, "County")
    QUEN_DMOD_PAIR(tblLocDef, datLocDef, "LocalDefaults.DB")
    QUEN_DMOD_PAIR(tblStaList, datStaList, "StationList.db")
    QUEN_DMOD_PAIR(tblDownCnty, datDownCnty, "DownloadCounty.DB")

    // The station and WHR editors switch to edit mode themselves.
    datClim->setAutoEdit(false);
    datWHR->setAutoEdit(false);

    tblClim->setOnFilterRecord(&TDMod::MarkedFilterRecord);
    tblWHR->setOnFilterRecord(&TDMod::MarkedFilterRecord);

    qryMarkClim = new TMarkQuery({QStringLiteral("Update Climate"), QStringLiteral("     Set Marked=:NewValue")}, this);
    qryMarkClim->setObjectName(QStringLiteral("qryMarkClim"));
    qryMarkWHR = new TMarkQuery({QStringLiteral("Update ClimWHR"), QStringLiteral("Set Marked = :NewValue")}, this);
    qryMarkWHR->setObjectName(QStringLiteral("qryMarkWHR"));

    DMod = this;
}

TDMod::~TDMod()
{
    if (DMod == this)
        DMod = nullptr;
}

bool TDMod::MarkedFilterRecord(TTable& dataSet)
{
    return dataSet.field(QStringLiteral("Marked")).asBoolean();
}

TClimTransaction::TClimTransaction(const QStringList& tableNames) : m_tables(tableNames)
{
    dbi::requireOpen();
    // The import's scratch lists (in the private database) join it.
    dbi::exec(QStringLiteral("SAVEPOINT quen_clim_import"), {}, true).finish();
    try {
        dbi::exec(QStringLiteral("SAVEPOINT quen_clim_import"), {}).finish();
    } catch (...) {
        dbi::exec(QStringLiteral("RELEASE quen_clim_import"), {}, true).finish();
        throw;
    }
    m_open = true;
}

TClimTransaction::~TClimTransaction()
{
    if (!m_open)
        return;
    for (const bool scratch : {false, true}) {
        try {
            dbi::exec(QStringLiteral("ROLLBACK TO quen_clim_import"), {}, scratch).finish();
            if (scratch)
                dbi::scratchRolledBack();
            dbi::exec(QStringLiteral("RELEASE quen_clim_import"), {}, scratch).finish();
        } catch (...) {
        }
    }
    for (const QString& t : m_tables) {
        try {
            Database::notifyTableChanged(tableBaseName(t), nullptr);
        } catch (...) {
        }
    }
}

void TClimTransaction::commit()
{
    if (!m_open)
        return;
    // Releasing the outermost savepoint commits (with the flush of a user write).
    dbi::exec(QStringLiteral("RELEASE quen_clim_import"), {}).finish();
    m_open = false;
    dbi::exec(QStringLiteral("RELEASE quen_clim_import"), {}, true).finish();
}

} // namespace quen::climprog
