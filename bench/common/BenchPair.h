// Side-by-side figures of a database bench: the bench runs its work once on
// an embedded SQLite file (in this process) and once on a PostgreSQL server
// (in a child of itself with QUENPM_TEST_SERVER set, so the server's
// connection and schemas are set up exactly as the tests set them up), and
// prints one table of both.
//
// The server is the one QUENPM_BENCH_SERVER (else QUENPM_TEST_SERVER) names
// (a postgresql:// URI); when neither is set, a throwaway cluster started
// with scripts/pg-server.sh in a temporary folder and stopped at the end
// (also on failure or on an interrupt); QUENPM_BENCH_SERVER=none leaves the
// server out. Without the PostgreSQL server programs (looked for under
// QUENPM_BENCH_PG_ROOT, by default /usr/lib/postgresql) the server column
// reads "not available".
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cmath>
#include <functional>

namespace quen::bench {

// One row of the table as one backend measured it.
struct Figure {
    QString label;            // the same on both backends: rows are matched by it
    QString unit;             // "ms", "M/s" (million station-months per second)
    double cpu = NAN;         // median from CPU time of this program's thread
    double wall = NAN;        // median from wall time
    QString text;             // instead of numbers ("123 cycles ...")
    int decimals = 3;
    // Targets of the counted figure (CPU on SQLite, wall on the server): at
    // most so many ms, or at least so much for a rate (atLeast). Both passes
    // set both, so the table names them even when one column is empty.
    double target = NAN;
    double serverTarget = NAN;
    bool atLeast = false;
    // What the server column shows when the server pass leaves the row out
    // (set by the SQLite pass): "-" for a figure without table I/O.
    QString serverAbsent;
};

// The rows of one pass, in the order measured.
class FigureSheet {
public:
    // A time (ms) or rate figure with CPU and wall medians.
    Figure& add(const QString& label, const QString& unit, double cpu, double wall, int decimals = 3);
    // A figure with text instead of numbers.
    Figure& addText(const QString& label, const QString& text);
    const QList<Figure>& rows() const { return m_rows; }
    const Figure* find(const QString& label) const;
    // A line printed under the table (run counts, anything unexpected).
    void note(const QString& line) { m_notes << line; }
    const QStringList& notes() const { return m_notes; }

    // One line per row or note, tab-separated, starting with "@figure" or "@note".
    QByteArray serialize() const;
    // The rows and notes of serialize()'s lines within text; other lines go to *rest.
    static FigureSheet parse(const QByteArray& text, QByteArray* rest);

private:
    QList<Figure> m_rows;
    QStringList m_notes;
};

// CPU time of the calling thread, ms.
double ThreadCpuMs();

// How a bench program was started.
struct PairArgs {
    bool child = false;         // the server pass: print the rows machine-readably
    QStringList passArgs;       // the arguments without "--figures"
};
PairArgs ParsePairArgs(int argc, char** argv);

// The database a pass runs on.
enum class Backend { Sqlite, Server };

// Runs pass on SQLite here and on the server in a child, then prints the
// table under title. pass fills the sheet; it may throw (the error is
// printed and the program fails). Returns the program's exit code.
int RunPaired(const PairArgs& args, const QString& title, const std::function<void(Backend, FigureSheet&)>& pass);

// The table of both passes. serverState: the header's line on the server;
// server is null when the server pass did not run, its cells then read
// emptyCell ("not available", "not run").
QByteArray FormatTable(const QString& title, const FigureSheet& sqlite, const FigureSheet* server,
                       const QString& serverState, const QString& emptyCell = QStringLiteral("not available"));

} // namespace quen::bench
