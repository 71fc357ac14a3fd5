// The shared database behind the alias "Quenpm".
//
// resolveAlias() says where the database lives: the location named by the
// environment variable QUENPM_DB when set, otherwise the one the per-user
// settings file names (settingsFile()), otherwise
// "<per-user generic data location>/Quenpm/Quenpm.sqlite" (on Linux
// ~/.local/share/Quenpm/Quenpm.sqlite), the same for all three programs.
// A location is a file path (an embedded SQLite database) or a
// postgresql:// connection URI (one database for a whole office; user and
// password from the URI, ~/.pgpass or the PG* environment variables, as
// libpq reads them). Database::open() opens that file; a file that does
// not exist yet is created with every table of the schema and filled with the
// shipped reference data (the CSV files under data/tables/, compiled into the
// programs), and the two one-row defaults tables get their initial rows.
// An existing file is opened as it is (upgraded when its schema version is
// older). All table handles of a process share one connection.
//
// The scratch tables ("QuenWkCrop.DB", "ETKc.db", "StationList.db",
// "DownloadCounty.DB") are not in the shared database: each open() also
// opens a private in-memory SQLite database of the program run that holds
// them (same fields, indexes and collations; the daily table "ETKc.db" with
// its day as the row key), empty, on a second connection.
// Another program on the same file or server never sees their rows; close()
// (or opening another location) drops them. A file made by an older version
// may still hold scratch tables of its own: they are left alone, unused.
//
// Creation runs in one transaction: when any shipped file is refused, nothing
// of the new file is left behind and open() throws the loader's message.
// When the shipped files leave a one-row table empty, creation writes:
//   "SystemDefaults.db": "ET Method" ANY, "Spring Carryover %" and
//      "Fall Carryover %" 0, "Elevation Correction" false, empty "Password",
//      "Peak ET Method" 0 (TR21 procedure);
//   "LocalDefaults.db": "Sensitive" and "MetricUnits" false, the rest empty;
//   "Report.db": "ReportNo" 1.
// The file is kept in WAL mode with a flush on every commit, so a post of user
// data is on disk when it returns and a crash never leaves a damaged file.
// Nothing but SQLite may open the file or its -wal, -shm or -journal (closing
// any descriptor of a file drops the process's locks on it); each write of
// the file first checks that the program is still attached to it and
// refuses the write with a message when it is not (see Database.cpp).
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

#include "DbError.h"

namespace quen {

class TTable;

class Database {
public:
    // Location of the alias: $QUENPM_DB, else the "Database" entry of the
    // per-user settings file, else <GenericDataLocation>/Quenpm/Quenpm.sqlite.
    static QString resolveAlias(const QString& alias = QStringLiteral("Quenpm"));
    // The per-user settings file that may name the database
    // (<GenericConfigLocation>/Quenpm/Quenpm.conf, on Linux
    // ~/.config/Quenpm/Quenpm.conf), e.g. the line
    //   Database=postgresql://planner@dbserver/quenpm
    static QString settingsFile();

    // Opens (creating and filling when no file is there) the database at
    // path, or at the alias location without one. An empty or blank path is
    // refused (it is not the alias), and so is an empty file (it is not a
    // database). Throws DbError with a clear message when the file cannot be
    // opened, is read-only or is damaged, or a table's columns are not those
    // of the schema. Opening again with another path closes the previous
    // database.
    static void open();
    static void open(const QString& path);
    // Opens an existing database for reading only, for commands that change
    // no saved table: creates nothing and upgrades nothing (an empty file, a
    // missing database and a layout of another version are refused with a
    // message). The private working tables are writable as always.
    static void openReadOnly(const QString& path);
    static bool isOpen();

    // Whether a Quenpm database is at location (the alias location without
    // one): a file, or a server database holding the tables. Creates
    // nothing; an empty or blank location is refused (DbError).
    static bool exists();
    static bool exists(const QString& location);
    // A postgresql:// (or postgres://) URI rather than a file path.
    static bool isServerLocation(const QString& location);
    // A location as messages and windows show it: a server URI without its
    // password (in the user part or as a "password" parameter, whatever the
    // spelling of the scheme). Every shown location goes through it.
    static QString shownLocation(const QString& location);

    // Copies every table but the scratch tables from one location to
    // another (file or server, either way) in one transaction. A target
    // that does not exist is created; an existing one that holds rows
    // (beyond the one-row defaults tables) is refused unless replace, in
    // which case its rows are replaced. The source and the target must be
    // two databases: the same file under another name (a link) or the same
    // server database under another URI is refused. The rows read and
    // written are counted per table and compared before the copy commits.
    // Closes the open database; throws DbError, leaving the target as it
    // was, on any failure (a read error of the source included).
    static void copyDatabase(const QString& from, const QString& to, bool replace);
    static QString path();
    static void close();

    // Whether path names the database or one of its side files (see
    // DatabaseFiles.h: by name or inode, stat() alone). File choosers refuse
    // such a path for an import or an export.
    static bool isDatabaseFile(const QString& path);

    // The connection all handles use; throws DbError when no database is
    // open (nothing opens one on its own: see open()).
    static QSqlDatabase connection();

    // Where the shipped CSV files are read from when a database is created:
    // ":/quenpm/data/tables" (compiled in) unless overridden (tests).
    static void setDataDirectory(const QString& dir);
    static QString dataDirectory();

    // Loads every "<table name>.csv" of dir into its (empty) table. Throws
    // DbError naming file and line for a malformed file, an unknown table or
    // field, or a value that does not fit its field.
    static void loadDataDirectory(const QString& dir);

    // The set-oriented mark statement of the database programs:
    //   "Update CrpAnNam" / "Set Marked = :NewValue" with NewValue "T" or "F".
    // statement is the two lines as the programs hold them (any blanks around
    // "=" and ":NewValue"); the table is the word after "Update". Open
    // handles of that table are refreshed afterwards. Returns rows changed.
    static int execMarkStatement(const QString& statement, const QString& newValue);

    static int schemaVersion();

    // Runs work as one transaction over any tables: the user-table writes it
    // makes are stored together, flushed to disk, when it returns, and none
    // of them when it throws (the exception passes on after the rollback, and
    // the open handles of the tables named in touched are re-read). Scratch
    // writes made inside join it (a transaction of the private database that
    // is committed or rolled back with it). Not nested.
    static void transaction(const std::function<void()>& work, const QStringList& touched = {});

    // Handles register themselves so that a write through one handle or a
    // mark statement refreshes the others open on the same table.
    static void registerHandle(TTable* t);
    static void unregisterHandle(TTable* t);
    static void notifyTableChanged(const QString& baseName, TTable* source);
};

// While one lives, the reads of the shared database see one state of it: on
// a SQLite file it holds a read transaction, so that a run of reads takes the
// file's read lock once rather than once per statement. It does nothing on a
// server (a transaction there would add round trips), inside a transaction
// already running, when no database is open or while another one lives.
// For runs of reads only: Database::transaction ends it before beginning
// (its reads then see the latest state again); the private working tables
// may be written freely.
class ReadSnapshot {
public:
    ReadSnapshot();
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    quint64 m_id = 0;   // 0: nothing begun
};

} // namespace quen
