#include "ClimImport.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <optional>

#include "ClimDMod.h"
#include "MessageService.h"
#include "StationRecords.h"
#include "Table.h"

namespace quen::climprog {

namespace {

// The wind, humidity and radiation location of every stored station, by
// name and number and by name alone. The record files do not carry it, so a
// station that an import replaces gets it back from here when it returns
// under the same name.
struct TKeptWhrLocations {
    QHash<QString, QString> byNameAndNumber, byName;
    QString of(const TStationRecord& r) const
    {
        const auto exact = byNameAndNumber.constFind(r.name + QLatin1Char('|') + r.number);
        return exact != byNameAndNumber.constEnd() ? *exact : byName.value(r.name);
    }
};

TKeptWhrLocations keptWhrLocations(TTable& clim)
{
    TKeptWhrLocations kept;
    for (clim.first(); !clim.eof(); clim.next()) {
        const QString whr = clim.field(QStringLiteral("WHRLocation")).asString();
        if (whr.isEmpty())
            continue;
        const QString name = clim.field(QStringLiteral("Station Name")).asString();
        kept.byNameAndNumber.insert(name + QLatin1Char('|') + clim.field(QStringLiteral("Station No")).asString(), whr);
        if (!kept.byName.contains(name))
            kept.byName.insert(name, whr);
    }
    return kept;
}

// Stores the records and the county keys of their stations (one row per key,
// compared without case as the county list's key is).
void storeRecords(TTable& clim, TTable& county, const QList<TStationRecord>& records,
                  const TKeptWhrLocations& kept)
{
    const int whrField = clim.field(QStringLiteral("WHRLocation")).index();
    QList<QVariantList> rows;
    rows.reserve(records.size());
    QSet<QString> have;
    county.first();
    while (!county.eof()) {
        have.insert(county.field(QStringLiteral("County")).asString().toLower());
        county.next();
    }
    QList<QVariantList> counties;
    for (const TStationRecord& r : records) {
        rows << climateRowValues(r);
        const QString whr = kept.of(r);
        if (!whr.isEmpty())
            rows.last()[whrField] = whr;
        if (!have.contains(r.county.toLower())) {
            have.insert(r.county.toLower());
            counties << QVariantList{r.county};
        }
    }
    clim.appendRows(rows);
    county.appendRows(counties);
}

TImportOutcome refusedWrite(const QString& what)
{
    return {-1, QStringLiteral("The stations could not be stored: %1\nChanges not made!").arg(what)};
}

// Opens the station and county tables in one transaction and lets fill write
// them; an outcome fill returns refuses the import and leaves both unchanged.
// Otherwise the stored count is reported.
template <class Fill>
TImportOutcome writeClimTables(int stored, Fill fill)
{
    try {
        TTable clim(QStringLiteral("Climate.DB"));
        TTable county(QStringLiteral("County"));
        clim.open();
        county.open();
        TClimTransaction txn({QStringLiteral("Climate.DB"), QStringLiteral("County")});
        if (const std::optional<TImportOutcome> refused = fill(clim, county))
            return *refused;
        txn.commit();
    } catch (const DbError& e) {
        return refusedWrite(e.message());
    }
    return {stored, QString()};
}

int shown(const TImportOutcome& o)
{
    if (o.stations < 0)
        showError(o.error);
    return o.stations;
}

} // namespace

bool isCountyKey(const QString& key)
{
    static const QRegularExpression form(QStringLiteral("^\\S.*, [A-Z]{2}$"));
    return key.size() <= 25 && form.match(key).hasMatch();
}

QString countyKeyMessage(const QString& station, const QString& county)
{
    return QStringLiteral("Station \"%1\": County \"%2\" is not the county name, a comma, a blank and the "
                          "two-letter state code (for example \"Blaine, ID\").")
        .arg(station, county);
}

void listCounty(const QString& key)
{
    if (key.trimmed().isEmpty())
        return;
    TTable county(QStringLiteral("County"));
    county.open();
    if (!county.findKey({key}))
        county.appendRecord({key});
}

QString stationUsingNumber(const QString& number, int ownSiteNo)
{
    const QString wanted = number.trimmed();
    if (wanted.isEmpty())
        return QString();
    TTable clim(QStringLiteral("Climate.DB"));
    clim.open();
    for (clim.first(); !clim.eof(); clim.next()) {
        if (clim.field(QStringLiteral("Station No")).asString().trimmed() != wanted)
            continue;
        if (ownSiteNo != 0 && clim.field(QStringLiteral("TP Site No")).asInteger() == ownSiteNo)
            continue;
        return QStringLiteral("%1 (%2)").arg(clim.field(QStringLiteral("Station Name")).asString(),
                                              clim.field(QStringLiteral("County")).asString());
    }
    return QString();
}

QString duplicateNumberMessage(const QString& number, const QString& otherStation)
{
    return QStringLiteral("Station No %1 is already used by the station %2.").arg(number.trimmed(), otherStation);
}

void unlistCountyWithoutStations(const QString& key)
{
    if (key.isEmpty())
        return;
    TTable clim(QStringLiteral("Climate.DB"));
    clim.setIndexName(QStringLiteral("CountyIndex"));
    clim.open();
    clim.setRange({key}, {key});
    const bool used = !clim.isEmpty();
    clim.close();
    if (used)
        return;
    TTable county(QStringLiteral("County"));
    county.open();
    if (county.findKey({key}))
        county.remove();
}

int importStateFile(const QString& path) { return shown(runStateImport(path)); }

int loadSelectedCounties(const QString& tmpTpPath, const QStringList& selected, bool addToExisting,
                         const QStringList& replaced)
{
    return shown(runCountyLoad(tmpTpPath, selected, addToExisting, replaced));
}

TImportOutcome runStateImport(const QString& path)
{
    const TStationFile file = readStationFile(path, QStringLiteral("Can't open file for reading"));
    if (!file.ok())
        return {-1, file.error};
    // An empty or blank file would replace every station with none.
    if (file.recordsRead == 0)
        return {-1, QStringLiteral("\"%1\" holds no station record.\nChanges not made!").arg(QFileInfo(path).fileName())};
    const auto fill = [&](TTable& clim, TTable& county) -> std::optional<TImportOutcome> {
        const TKeptWhrLocations kept = keptWhrLocations(clim);
        clim.emptyTable();
        county.emptyTable();
        storeRecords(clim, county, file.records, kept);
        return std::nullopt;
    };
    return writeClimTables(int(file.records.size()), fill);
}

QStringList countiesListed(const QStringList& keys)
{
    QStringList listed;
    TTable county(QStringLiteral("County"));
    county.open();
    for (const QString& c : keys)
        if (county.findKey({c}))
            listed << c;
    return listed;
}

TImportOutcome runCountyLoad(const QString& tmpTpPath, const QStringList& selected, bool addToExisting,
                             const QStringList& replaced)
{
    const QSet<QString> chosen(selected.begin(), selected.end());
    const TStationFile file = readStationFile(tmpTpPath, QStringLiteral("Can't open TmpTP.txt file for reading"), &chosen);
    if (!file.ok())
        return {-1, file.error};
    const auto fill = [&](TTable& clim, TTable& county) -> std::optional<TImportOutcome> {
        const TKeptWhrLocations kept = keptWhrLocations(clim);
        if (!addToExisting) {
            clim.emptyTable();
            county.emptyTable();
        } else {
            for (const QString& c : replaced) {
                if (county.findKey({c}))
                    county.remove();
                clim.setIndexName(QStringLiteral("CountyIndex"));
                clim.setRange({c}, {c});
                clim.first();
                while (!clim.isEmpty())
                    clim.remove();
                clim.cancelRange();
            }
            clim.setIndexName(QString());
        }
        if (addToExisting) {
            // A station already stored under another county stops the load with its name.
            clim.setIndexName(QStringLiteral("StaNameIndex"));
            for (const TStationRecord& r : file.records)
                if (clim.findKey({r.name}))
                    return TImportOutcome{-1, QStringLiteral("Station \"%1\" of %2 is already in the climate "
                                                             "database under %3.\nChanges not made!")
                                                  .arg(r.name, r.county,
                                                       clim.field(QStringLiteral("County")).asString())};
            clim.setIndexName(QString());
        }
        // Every selected county is listed, also one whose stations all were left out.
        QList<TStationRecord> records = file.records;
        storeRecords(clim, county, records, kept);
        QList<QVariantList> extra;
        for (const QString& c : selected)
            if (!county.findKey({c}))
                extra << QVariantList{c};
        county.appendRows(extra);
        return std::nullopt;
    };
    return writeClimTables(int(file.records.size()), fill);
}

} // namespace quen::climprog
