// Job files: a job, its station and its crops described in a JSON text
// (the format of data/quenpm-job.schema.json), for planners who script their
// work, keep inputs in version control or send a job to a colleague.
//
// Reading is in two steps. ParseJobFile checks the text alone: JSON syntax,
// known field names, types, dates that exist and values inside the ranges
// the windows accept (the crop inputs dialog, the job panel). SetUpJobFile
// then makes the job as the windows make it: New Job, the station taken in
// as "Get New Climate" takes it (ratios from its annual precipitation, the
// ET method from the system default and its wind record), each crop added
// as "Add New Crop" adds it (seeded from the crop record and the local and
// system defaults) with the file's inputs written over the seeded ones as
// the crop inputs dialog writes them, and each crop computed as that dialog's
// closing computes it. The farm values go where the windows keep them: the
// job's conveyance efficiency, operating hours and water salinity into
// JobState::Farm over the local defaults, each crop's area, application
// efficiency and salinity threshold into "FarmWkCrop.db" over the seeded
// ones. Anything the file leaves out keeps the value the windows would have
// given it. ExportJobFile writes a saved job in the same
// format, every stored input spelled out, so that reading it back and saving
// it gives the same saved rows.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>

#include "CropRunContext.h"
#include "JobState.h"

namespace quen {
class TTable;
}

namespace quen::job {

inline const QString kJobFileFormat = QStringLiteral("quenpm-job");
inline constexpr int kJobFileVersion = 1;
// A job holds at most this many crops in a file ("No of Crops" is a short;
// the output dialog and the reports are made for a few dozen).
inline constexpr int kJobFileMaxCrops = 500;

// One problem of a job file: where it is (a JSON path such as
// "crops[2].plantingDate", or a line and column for malformed JSON), the field
// as the windows caption it, and what is wrong.
struct JobFileError {
    QString path;
    QString field;
    QString message;
    int line = 0;
    int column = 0;

    bool failed() const { return !message.isEmpty(); }
    // "FILE: crops[2].plantingDate (Planting or start of growth date): ..."
    QString text(const QString& fileName) const;
};

struct MonthDay {
    int month = 0;
    int day = 0;
};

// The crop curve of a crop as the job file may give it (an exported job
// always does, so that a changed crop record does not change the job).
struct JobFileCurve {
    int index = -1;           // "Curve Index" 0..5
    QString name;             // "Curve Name"
    QString type;             // "Crop Curve Type"
};

// A value the file may leave out (std::nullopt), give, or give as null
// (stored empty): Nullable<T> holds std::optional<T>{} for null.
template <typename T>
using Nullable = std::optional<std::optional<T>>;

struct JobFileCrop {
    QString crop;                                   // "Cop Name" of the crop record
    std::optional<MonthDay> planting, harvest;      // "Plant Mo"/"Plant Day", "Harvest Mo"/"Harvest Day"
    std::optional<MonthDay> firstCutting, lastCutting;
    std::optional<double> netIrr, carryBeg, carryEnd;   // inches
    std::optional<QString> soil, irrigationType;
    std::optional<double> fractionWetted, stressFactor, asw;
    std::optional<int> wetDeveloped, wetMature, cuttings;
    std::optional<bool> sensitive;
    Nullable<double> startT, startTM, endT, endTM;  // growth temperatures, deg F and deg C
    Nullable<int> enteredGrowDays;
    Nullable<JobFileCurve> curve;
    // The farm values of the crop ("FarmWkCrop.db"): acres, fraction, ECe dS/m.
    std::optional<double> irrigatedArea, applicationEff, salinityThreshold;
};

struct JobFile {
    QString name;                                   // "JobName"
    QString location, planner;
    std::optional<QString> date, landUser, id, jobClass;
    // The station: by its "Station Name", or the nearest one to a position
    // (decimal degrees, north and east positive) that supports the job's method.
    QString stationName;
    bool stationByPosition = false;
    double latitude = 0.0, longitude = 0.0;
    std::optional<int> etMethod;                    // 1, 2 or 3
    std::optional<QString> etMethodText;
    std::optional<double> elevation;                // feet
    std::optional<double> ratio50, ratio80;
    std::optional<int> cropCounter;                 // "No of Crops"
    // The job's farm values (JobState::Farm): fractions, hours a day, ECw dS/m.
    std::optional<double> conveyanceEff, operatingHours, waterSalinity;
    QList<JobFileCrop> crops;
};

// Checks the text of a job file and fills file; the error says what is wrong
// (failed() false when nothing is). Reads no table.
JobFileError ParseJobFile(const QByteArray& text, JobFile& file);

// ParseJobFile of the file at path; a file that cannot be read is refused
// with the system's reason.
JobFileError ReadJobFile(const QString& path, JobFile& file);

// The same checks of a job already read as a JSON object (a row of a field
// batch is made into one).
JobFileError ParseJobObject(const QJsonObject& object, JobFile& file);

// The caption a field of the file has in the windows ("plantingDate":
// "Planting or start of growth date"); empty for a name the file has not.
QString JobFileCaption(const QString& key);

// The station a job file's job was given, for the planner's note.
struct JobFileStation {
    QString name;
    QString number, county;
    bool byPosition = false;
    double distanceKm = 0.0;                        // from the file's position
    double elevationFt = 0.0;                       // the station's
    std::optional<double> fieldElevationFt;         // the file's, when it gives one
};

// The stations a job file's station is chosen among: the rows of
// "Climate.DB" in their order, the wind, humidity and radiation records with
// a July wind (those Penman-Monteith can use) and the system default method,
// read once, so that a batch of fields chooses each one's station without
// reading a table.
class JobFileStations {
public:
    JobFileStations();   // reads the tables (the database is open)

    // The station the file names, or the nearest to its position that
    // supports the job's method (distanceKm from that position); refused with
    // the message SetUpJobFile gives.
    JobFileError choose(const JobFile& file, QString& name, double& distanceKm) const;

    // The great-circle distance (km) from a position in decimal degrees to
    // the station of this name; false when there is none.
    bool distanceTo(const QString& name, double latitude, double longitude, double& distanceKm) const;

private:
    struct Row {
        QString name, whrLocation;
        double latitude = 0.0, longitude = 0.0;   // decimal degrees, north and east positive
        bool latitudeValid = false;
        double latitudeDegrees = 0.0;              // as the computation splits the stored latitude
    };
    QList<Row> m_rows;
    QSet<QString> m_wind;
    bool m_defaultIsPm = false;
};

// "Get New Climate" of the file's job without the rest of New Job: the
// station chosen among stations taken into ctx (its values and ratios), the
// method (the file's, else as the ET method dialog leaves it), then the
// file's elevation and ratios. Reads "Climate.DB", "ClimWHR.DB" and
// "SystemDefaults.db".
JobFileError TakeJobFileClimate(const JobFile& file, const JobFileStations& stations, CropRunContext& ctx,
                                JobFileStation* station = nullptr);

// Makes the job of file in ctx and the working table wk as the windows make it
// (see the header comment) and computes each crop with ComputeCrop as it is
// added; cropsStart() runs once the job and its station are set, before the
// first crop (the messages shown until then belong to the station choice),
// computed() after each crop. Fails, with wk emptied, on a name,
// crop, station or curve that the database does not hold or that the job's
// method cannot use. state's JobSaveState ends 1: a SaveJob writes it as a new job.
JobFileError SetUpJobFile(const JobFile& file, CropRunContext& ctx, JobState& state, CropCurveState& curves, TTable& wk,
                          JobFileStation* station = nullptr, const std::function<void()>& computed = {},
                          const std::function<void()>& cropsStart = {});

// How an import of a job file ended.
struct JobFileImport {
    JobFileError error;        // the file was refused: nothing saved
    bool nameUsed = false;     // a saved job has the file's name and no replace was asked: nothing saved
    bool replaced = false;     // the saved job of that name was rewritten
    int crops = 0;             // crops saved

    bool saved() const { return !error.failed() && !nameUsed; }
};

// Imports a job file already read (ParseJobFile) as a saved job: its job is
// made in ctx, state and wk as SetUpJobFile makes it, then saved by SaveJob
// in one transaction, as a new job or, with replace, over the saved job of
// the same name (its row rewritten, its crop rows replaced). Nothing is saved
// when the file is refused or the name is used and replace is false; wk is
// emptied then. A DbError of the save (nothing written) is thrown on. The
// main window's "Import Job..." and "quenpm-calc import" both import with it.
JobFileImport ImportJobFile(const JobFile& file, bool replace, CropRunContext& ctx, JobState& state,
                            CropCurveState& curves, TTable& wk, JobFileStation* station = nullptr,
                            const std::function<void()>& computed = {}, const std::function<void()>& cropsStart = {});

// The saved job of exactly this name as the text of a job file; false when
// no saved job has that name. The farm values are those saved with the job
// ("FarmJob.db", "FarmCrop.db"; the windows' values for a job saved before
// them); an application efficiency of 0 (a crop without an area whose type
// has none) is left out, to be seeded again.
bool ExportJobFile(const QString& name, QByteArray& text);

enum class JobFileWritten { Written, NoSuchJob, DatabaseFile, NotWritten };

// Writes the saved job of exactly this name to the file at path as
// ExportJobFile spells it, whole or not at all (a file already there is
// replaced only once the new text is complete). Refused for the database
// file and its side files. NotWritten carries the system's reason in why.
// The main window's "Export Job..." and "quenpm-calc --export-job" both
// write with it.
JobFileWritten WriteJobFile(const QString& name, const QString& path, QString* why = nullptr);

// The ET method as a job file names it ("TR21", "NEH", "FAO56") and back (0
// for any other text).
QString JobFileMethodName(int etMethodIndex);
int JobFileMethodIndex(const QString& name);

} // namespace quen::job
