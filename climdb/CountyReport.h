// The converter of downloaded county climate reports ("?????.txt", one
// county per file) into station records (StationRecords.h) appended to the
// work file "TmpTP.txt".
//
// What the converter relies on in a report (character positions from 0):
//  - the first "W" or "N" of the file: "N" (or neither) means no station data;
//  - a station block starts at a line holding "S Station :"; positions on
//    it count from the character after its first "W". Name: after the first
//    ":" and one more character, up to the first ","; after one more
//    character the station number up to the next blank, whose first two
//    characters are the state code;
//  - latitude, longitude, elevation: on a station line shorter than 81
//    characters, the next line ("Latitude:") at 11-17, 33-39, 57-64;
//    otherwise at 1-7, 23-29, 47-54 after the line's second ":"; digits only;
//  - the next line holds "State FIPS"; the county name runs from 49 to the
//    end, its last character replaced by "," then a blank and the state code;
//  - 12 lines on, the month lines January..December: maximum 12-16, minimum
//    20-24, mean 28-32, precipitation 36-41 ("-" at 12: fewer months, the
//    station is left out without a message);
//  - 20 lines after the month table a line holding "50 percent" with the
//    freeze dates at 42, 51, 60, 69 (5 characters each);
//  - the station ends after four lines holding "-------".
// Messages go through the message service; a damaged station is left out
// with its message and the converter goes on with the next one.
#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace quen::climprog {

// What the converter keeps between the files of one run: the station names
// already written (the "StationList.db" of the run) and the running record
// label, which counts stations from the start of the program.
struct TConverterRun {
    QSet<QString> writtenNames;
    int recordLabel = 0;
};

struct TConvertedFile {
    bool ok = true;                 // false: a message abandoned the whole file
    bool noData = false;            // "N" before any "W": no station data
    QStringList counties;           // county keys of the stations written, first first
    QList<QPair<QString, QString>> written;   // station name and number of each record written
    QByteArray records;             // the records as appended to the work file
};

// Converts the report text (no files); fileName is only for messages.
TConvertedFile convertCountyReportText(const QByteArray& report, TConverterRun& run);

// Converts the report file at reportPath, appending its records to
// outputPath ("TmpTP.txt") and keeping the data part in tmp2Path
// ("Tmp2.txt"). File-level failures show their message and return ok false.
TConvertedFile convertCountyReport(const QString& reportPath, const QString& outputPath, const QString& tmp2Path,
                                   TConverterRun& run);

// "?????.txt": five digits and ".txt".
bool isCountyReportName(const QString& fileName);

} // namespace quen::climprog
