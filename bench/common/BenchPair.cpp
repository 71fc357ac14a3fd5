#include "BenchPair.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <signal.h>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <sys/wait.h>
#include <unistd.h>

#ifndef QUEN_SOURCE_DIR
#error "QUEN_SOURCE_DIR must name the source tree (for scripts/pg-server.sh)"
#endif

namespace quen::bench {

namespace {

const char kChildArg[] = "--figures";

QString clean(QString s)
{
    s.replace(QLatin1Char('\t'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

QByteArray number(double v) { return std::isnan(v) ? QByteArray("nan") : QByteArray::number(v, 'g', 17); }

double toNumber(const QByteArray& s)
{
    bool ok = false;
    const double v = s.toDouble(&ok);
    return ok ? v : NAN;
}

// ---------------------------------------------------------------------------
// The throwaway server: scripts/pg-server.sh start/stop in a temporary folder.
// An interrupt or termination while it runs stops it before the program ends.

char g_stopScript[4096];
char g_stopDir[4096];
volatile sig_atomic_t g_serverUp = 0;
volatile pid_t g_passPid = 0;

void stopFromSignal(int sig)
{
    if (g_passPid > 0)
        kill(g_passPid, SIGTERM);
    if (g_serverUp) {
        g_serverUp = 0;
        const pid_t pid = fork();
        if (pid == 0) {
            const char* argv[] = {"bash",       "-c",      "bash \"$0\" stop \"$1\"; rm -rf \"$1\"",
                                  g_stopScript, g_stopDir, nullptr};
            execv("/bin/bash", const_cast<char* const*>(argv));
            _exit(127);
        }
        if (pid > 0)
            waitpid(pid, nullptr, 0);
    }
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

class ThrowawayServer {
public:
    ~ThrowawayServer() { stop(); }

    // Starts the server; its URI in *uri, or false with the reason in *why.
    bool start(QString* uri, QString* why)
    {
        const QString script = QStringLiteral(QUEN_SOURCE_DIR "/scripts/pg-server.sh");
        if (!QFileInfo(script).isFile()) {
            *why = QStringLiteral("not available: %1 is missing").arg(script);
            return false;
        }
        const QByteArray rootEnv = qgetenv("QUENPM_BENCH_PG_ROOT");
        const QString root = rootEnv.isEmpty() ? QStringLiteral("/usr/lib/postgresql") : QString::fromLocal8Bit(rootEnv);
        bool programs = false;
        for (const QString& v : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            programs = programs || QFileInfo(root + QLatin1Char('/') + v + QStringLiteral("/bin/initdb")).isExecutable();
        if (!programs) {
            *why = QStringLiteral("not available: no PostgreSQL server programs in %1 (Debian package postgresql)")
                       .arg(root);
            return false;
        }
        // The cluster lives in the temporary folder itself: the script hands
        // it to an unprivileged user when run as root, who must reach it.
        m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/quenpm-bench-pg.XXXXXX"));
        if (!m_dir->isValid()) {
            *why = QStringLiteral("not available: no temporary folder");
            return false;
        }
        m_script = script;
        std::snprintf(g_stopScript, sizeof g_stopScript, "%s", script.toLocal8Bit().constData());
        std::snprintf(g_stopDir, sizeof g_stopDir, "%s", m_dir->path().toLocal8Bit().constData());
        g_serverUp = 1;
        for (int sig : {SIGINT, SIGTERM, SIGHUP})
            std::signal(sig, stopFromSignal);
        std::fprintf(stderr, "starting a throwaway PostgreSQL server in %s\n", qPrintable(m_dir->path()));
        QProcess p;
        p.setProcessChannelMode(QProcess::SeparateChannels);
        p.start(QStringLiteral("bash"), {script, QStringLiteral("start"), m_dir->path()});
        p.waitForFinished(-1);
        const QByteArray out = p.readAllStandardOutput().trimmed();
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || !out.startsWith("postgresql:")) {
            const QByteArray err = p.readAllStandardError().trimmed();
            *why = QStringLiteral("not available: the throwaway server did not start (%1)")
                       .arg(QString::fromLocal8Bit(err.isEmpty() ? out : err).section(QLatin1Char('\n'), -1));
            stop();
            return false;
        }
        *uri = QString::fromLocal8Bit(out.split('\n').last());
        return true;
    }

    void stop()
    {
        if (!m_dir)
            return;
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral("bash"), {m_script, QStringLiteral("stop"), m_dir->path()});
        p.waitForFinished(-1);
        g_serverUp = 0;
        for (int sig : {SIGINT, SIGTERM, SIGHUP})
            std::signal(sig, SIG_DFL);
        m_dir.reset();
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_script;
};

// ---------------------------------------------------------------------------
// The table.

QString targetText(double v) { return std::isnan(v) ? QStringLiteral("-") : QString::number(v, 'g', 6); }

// "ok" or "MISS" for the counted figure of f against its target, "" without one.
QString mark(const Figure& f, Backend b)
{
    const double v = b == Backend::Sqlite ? f.cpu : f.wall;
    const double target = b == Backend::Sqlite ? f.target : f.serverTarget;
    if (std::isnan(target) || std::isnan(v))
        return QString();
    return (f.atLeast ? v >= target : v <= target) ? QStringLiteral("ok") : QStringLiteral("MISS");
}

QString fixed(double v, int decimals) { return std::isnan(v) ? QString() : QString::number(v, 'f', decimals); }

struct Cells {
    QString cpu, wall, mark, text;
};

Cells cellsOf(const Figure* f, Backend b)
{
    Cells c;
    if (!f->text.isEmpty()) {
        c.text = f->text;
        return c;
    }
    c.cpu = fixed(f->cpu, f->decimals);
    c.wall = fixed(f->wall, f->decimals);
    c.mark = mark(*f, b);
    return c;
}

} // namespace

double ThreadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

Figure& FigureSheet::add(const QString& label, const QString& unit, double cpu, double wall, int decimals)
{
    Figure f;
    f.label = clean(label);
    f.unit = clean(unit);
    f.cpu = cpu;
    f.wall = wall;
    f.decimals = decimals;
    m_rows << f;
    return m_rows.last();
}

Figure& FigureSheet::addText(const QString& label, const QString& text)
{
    Figure f;
    f.label = clean(label);
    f.text = clean(text);
    m_rows << f;
    return m_rows.last();
}

const Figure* FigureSheet::find(const QString& label) const
{
    for (const Figure& f : m_rows)
        if (f.label == label)
            return &f;
    return nullptr;
}

QByteArray FigureSheet::serialize() const
{
    QByteArray out;
    for (const Figure& f : m_rows) {
        const QList<QByteArray> cells{"@figure",
                                      f.label.toUtf8(),
                                      f.unit.toUtf8(),
                                      number(f.cpu),
                                      number(f.wall),
                                      clean(f.text).toUtf8(),
                                      QByteArray::number(f.decimals),
                                      number(f.target),
                                      number(f.serverTarget),
                                      f.atLeast ? "1" : "0",
                                      clean(f.serverAbsent).toUtf8()};
        out += cells.join('\t') + '\n';
    }
    for (const QString& n : m_notes)
        out += "@note\t" + clean(n).toUtf8() + '\n';
    return out;
}

FigureSheet FigureSheet::parse(const QByteArray& text, QByteArray* rest)
{
    FigureSheet sheet;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> c = line.split('\t');
        if (c.value(0) == "@figure" && c.size() == 11) {
            Figure f;
            f.label = QString::fromUtf8(c[1]);
            f.unit = QString::fromUtf8(c[2]);
            f.cpu = toNumber(c[3]);
            f.wall = toNumber(c[4]);
            f.text = QString::fromUtf8(c[5]);
            f.decimals = c[6].toInt();
            f.target = toNumber(c[7]);
            f.serverTarget = toNumber(c[8]);
            f.atLeast = c[9] == "1";
            f.serverAbsent = QString::fromUtf8(c[10]);
            sheet.m_rows << f;
        } else if (c.value(0) == "@note" && c.size() == 2) {
            sheet.m_notes << QString::fromUtf8(c[1]);
        } else if (rest && !line.isEmpty()) {
            *rest += line + '\n';
        }
    }
    return sheet;
}

PairArgs ParsePairArgs(int argc, char** argv)
{
    PairArgs a;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], kChildArg) == 0)
            a.child = true;
        else
            a.passArgs << QString::fromLocal8Bit(argv[i]);
    }
    return a;
}

QByteArray FormatTable(const QString& title, const FigureSheet& sqlite, const FigureSheet* server,
                       const QString& serverState, const QString& emptyCell)
{
    // Rows in the SQLite pass's order, then any the server pass alone has.
    QList<const Figure*> left, right;
    for (const Figure& f : sqlite.rows()) {
        left << &f;
        right << (server ? server->find(f.label) : nullptr);
    }
    if (server)
        for (const Figure& f : server->rows())
            if (!sqlite.find(f.label)) {
                left << nullptr;
                right << &f;
            }

    struct Line {
        QString label, unit;
        Cells a, b;
        QString target;
    };
    QList<Line> lines;
    for (int i = 0; i < left.size(); ++i) {
        const Figure* l = left[i];
        const Figure* r = right[i];
        const Figure* any = l ? l : r;
        Line ln;
        ln.label = any->label;
        ln.unit = any->unit;
        if (l)
            ln.a = cellsOf(l, Backend::Sqlite);
        else
            ln.a.text = QStringLiteral("-");
        if (r)
            ln.b = cellsOf(r, Backend::Server);
        else if (l && !l->serverAbsent.isEmpty() && (server || l->serverAbsent == QLatin1String("-")))
            ln.b.text = l->serverAbsent;
        else
            ln.b.text = server ? QStringLiteral("not run") : emptyCell;
        if (!std::isnan(any->target) || !std::isnan(any->serverTarget)) {
            const QString ta = targetText(any->target), tb = targetText(any->serverTarget);
            ln.target = (any->atLeast ? QStringLiteral(">= ") : QStringLiteral("<= ")) + ta
                + (ta == tb ? QString() : QStringLiteral(" | ") + tb);
        }
        lines << ln;
    }

    const QString hFigure = QStringLiteral("figure"), hUnit = QStringLiteral("unit"), hCpu = QStringLiteral("CPU"),
                  hWall = QStringLiteral("wall"), hTarget = QStringLiteral("target SQLite | server");
    int wLabel = hFigure.size(), wUnit = hUnit.size(), wCpu = hCpu.size(), wWall = hWall.size(), wMark = 4;
    for (const Line& ln : lines) {
        wLabel = std::max<int>(wLabel, ln.label.size());
        wUnit = std::max<int>(wUnit, ln.unit.size());
        for (const Cells* c : {&ln.a, &ln.b}) {
            wCpu = std::max<int>(wCpu, c->cpu.size());
            wWall = std::max<int>(wWall, c->wall.size());
        }
    }
    // A backend's group: CPU, wall and the mark; a text spans it.
    int wGroup = wCpu + 2 + wWall + 1 + wMark;
    for (const Line& ln : lines)
        wGroup = std::max<int>(wGroup, std::max(ln.a.text.size(), ln.b.text.size()));
    wCpu = wGroup - (2 + wWall + 1 + wMark);
    auto group = [&](const Cells& c) {
        if (!c.text.isEmpty())
            return c.text.leftJustified(wGroup);
        return c.cpu.rightJustified(wCpu) + QStringLiteral("  ") + c.wall.rightJustified(wWall) + QLatin1Char(' ')
            + c.mark.leftJustified(wMark);
    };
    const QString sep = QStringLiteral("  ");
    QString out;
    out += title + QLatin1Char('\n');
    out += QStringLiteral(
        "Medians, one thread. CPU: CPU time of this program's thread; wall: elapsed time. On SQLite the CPU time\n"
        "counts (wall time also holds other processes of a shared machine); on the PostgreSQL server the wall time\n"
        "counts: the server's work runs in its own process, outside this program's CPU time. ok / MISS compare the\n"
        "figure that counts with the target (a rate: at least; a time: at most).\n");
    out += QStringLiteral("PostgreSQL server: %1\n\n").arg(serverState);
    out += QString(wLabel + wUnit + 2 * sep.size(), QLatin1Char(' '))
        + QStringLiteral("embedded SQLite").leftJustified(wGroup) + sep
        + QStringLiteral("PostgreSQL server") + QLatin1Char('\n');
    const Cells head{hCpu, hWall, QString(), QString()};
    out += hFigure.leftJustified(wLabel) + sep + hUnit.leftJustified(wUnit) + sep + group(head) + sep + group(head)
        + sep + hTarget + QLatin1Char('\n');
    for (const Line& ln : lines) {
        QString row = ln.label.leftJustified(wLabel) + sep + ln.unit.leftJustified(wUnit) + sep + group(ln.a) + sep
            + group(ln.b) + sep + ln.target;
        while (row.endsWith(QLatin1Char(' ')))
            row.chop(1);
        out += row + QLatin1Char('\n');
    }
    QStringList notes = sqlite.notes();
    if (server)
        for (const QString& n : server->notes())
            if (!sqlite.notes().contains(n))
                notes << QStringLiteral("server: ") + n;
    if (!notes.isEmpty())
        out += QLatin1Char('\n');
    for (const QString& n : notes)
        out += n + QLatin1Char('\n');
    return out.toUtf8();
}

int RunPaired(const PairArgs& args, const QString& title, const std::function<void(Backend, FigureSheet&)>& pass)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (args.child) {
        // The server pass: rows for the parent on stdout, also after a failure.
        FigureSheet sheet;
        int rc = 0;
        try {
            pass(Backend::Server, sheet);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "server pass: %s\n", e.what());
            rc = 1;
        }
        const QByteArray rows = sheet.serialize();
        std::fwrite(rows.constData(), 1, rows.size(), stdout);
        std::fflush(stdout);
        return rc;
    }

    const QByteArray nameText = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toLocal8Bit();
    const char* name = nameText.constData();
    // A server the test suite runs on (scripts/test.sh exports it) is the
    // server of this run too; the SQLite pass must not map to it.
    QByteArray named = qgetenv("QUENPM_BENCH_SERVER");
    QString namedBy = QStringLiteral("QUENPM_BENCH_SERVER");
    if (named.isEmpty() && !qgetenv("QUENPM_TEST_SERVER").isEmpty()) {
        named = qgetenv("QUENPM_TEST_SERVER");
        namedBy = QStringLiteral("QUENPM_TEST_SERVER");
    }
    qunsetenv("QUENPM_TEST_SERVER");
    std::fprintf(stderr, "%s: measuring on embedded SQLite\n", name);
    FigureSheet lite;
    try {
        pass(Backend::Sqlite, lite);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
        return 1;
    }

    ThrowawayServer throwaway;
    QString uri, state, emptyCell = QStringLiteral("not available");
    if (named == "none") {
        emptyCell = QStringLiteral("not run");
        state = QStringLiteral("not run (QUENPM_BENCH_SERVER=none)");
    } else if (!named.isEmpty()) {
        uri = QString::fromLocal8Bit(named);
        state = QStringLiteral("%1 (%2)").arg(uri, namedBy);
    } else if (throwaway.start(&uri, &state)) {
        state = QStringLiteral("a throwaway server on a Unix socket, started for this run (scripts/pg-server.sh)");
    }

    int rc = 0;
    FigureSheet server;
    bool ran = false;
    if (!uri.isEmpty()) {
        std::fprintf(stderr, "%s: measuring on the PostgreSQL server\n", name);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUENPM_TEST_SERVER"), uri);
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::SeparateChannels);
        QObject::connect(&p, &QProcess::readyReadStandardError, [&p] {
            const QByteArray e = p.readAllStandardError();
            std::fwrite(e.constData(), 1, e.size(), stderr);
        });
        p.start(QCoreApplication::applicationFilePath(), QStringList(args.passArgs) << QString::fromLatin1(kChildArg));
        if (!p.waitForStarted(-1)) {
            state = QStringLiteral("failed: %1").arg(p.errorString());
            rc = 1;
        } else {
            g_passPid = static_cast<pid_t>(p.processId());
            p.waitForFinished(-1);
            g_passPid = 0;
            const QByteArray e = p.readAllStandardError();
            std::fwrite(e.constData(), 1, e.size(), stderr);
            QByteArray rest;
            server = FigureSheet::parse(p.readAllStandardOutput(), &rest);
            for (const QByteArray& line : rest.split('\n'))
                if (!line.isEmpty())
                    server.note(QString::fromLocal8Bit(line));
            ran = true;
            if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
                state += QStringLiteral("; the server pass FAILED (%1), its missing rows read \"not run\"")
                             .arg(p.exitStatus() != QProcess::NormalExit ? QStringLiteral("crashed")
                                                                          : QStringLiteral("exit %1").arg(p.exitCode()));
                rc = 1;
            }
        }
    }
    throwaway.stop();

    const QByteArray table = FormatTable(title, lite, ran ? &server : nullptr, state, emptyCell);
    std::fwrite(table.constData(), 1, table.size(), stdout);
    std::fflush(stdout);
    return rc;
}

} // namespace quen::bench
