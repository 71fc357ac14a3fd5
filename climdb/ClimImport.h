// Storing station records into the climate database. Both imports first read
// and check the whole file (StationRecords.h), then change "Climate.DB" and
// "County" in one transaction: on any failure the tables stay as they were.
// "County" always lists the county keys of the stations it serves.
#pragma once

#include <QString>
#include <QStringList>

namespace quen::climprog {

// What an import did: the stations stored, or -1 and the message saying why
// nothing was changed.
struct TImportOutcome {
    int stations = -1;
    QString error;
};

// The imports without showing anything (a window shows the error itself,
// after its hourglass).
TImportOutcome runStateImport(const QString& path);
TImportOutcome runCountyLoad(const QString& tmpTpPath, const QStringList& selected, bool addToExisting,
                             const QStringList& replaced);

// The state file import: replaces every station and the county list with
// the records of the file; a station that comes back under the same name
// keeps its "WHRLocation" (the file does not carry it). Messages: "Can't open
// file for reading", the reader's message of a damaged record, a file that
// holds no station record (empty or blank: it would leave no station), a
// refused write. Returns the number
// of stations stored, or -1 when nothing was changed.
int importStateFile(const QString& path);

// The load of the county report import from the work file tmpTpPath:
// the records of the selected counties. addToExisting false replaces the
// whole station table and county list; true first removes the stations and
// county rows of the counties in replaced, then adds. A replaced station that
// comes back under the same name keeps its "WHRLocation". Returns the number of
// stations stored, or -1 when nothing was changed ("Can't open TmpTP.txt
// file for reading", a damaged record, a refused write).
int loadSelectedCounties(const QString& tmpTpPath, const QStringList& selected, bool addToExisting,
                         const QStringList& replaced);

// The keys among keys that the county list "County" already holds, in
// their order (the counties a load that adds to the stations would replace).
QStringList countiesListed(const QStringList& keys);

// A county key: the county name, a comma, a blank and the two-letter state
// code ("Blaine, ID"), at most 25 characters.
bool isCountyKey(const QString& key);
// The message refusing the county of a station.
QString countyKeyMessage(const QString& station, const QString& county);
// Adds key to "County" unless it is listed (a station stored by hand).
void listCounty(const QString& key);
// The station number is not part of any unique key ("Station Name" and
// "Station No" together are), but two stations under one number are most
// likely a typing slip. Returns "Station Name (County)" of the first station
// other than the row whose "TP Site No" is ownSiteNo (0 for a row not yet
// stored) whose "Station No" is number, blanks around either ignored; empty
// when there is none or number is blank.
QString stationUsingNumber(const QString& number, int ownSiteNo);
// The warning naming that station.
QString duplicateNumberMessage(const QString& number, const QString& otherStation);
// Removes key from "County" when no station of "Climate.DB" has it (the
// last station of the county was deleted).
void unlistCountyWithoutStations(const QString& key);

} // namespace quen::climprog
