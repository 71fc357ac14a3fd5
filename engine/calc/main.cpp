// quenpm-calc: computes a saved job of the Quenpm database from the command
// line, as the main program computes it when it fetches the job.
//
//   quenpm-calc --list-jobs
//   quenpm-calc --job NAME [--json]
//   quenpm-calc --copy-database FROM TO [--replace]
//              (moves a database, e.g. a local file to the office server:
//              every table, in one transaction; a target holding rows is
//              refused unless --replace)
//   quenpm-calc --report NAME --job JOB [--crop CROP] [--metric] [--pdf FILE] [--qrp FILE]
//              (when built with the output subsystem: see output/calc/ReportCommand.h)
//
// The database is the one the alias resolves ($QUENPM_DB). Exit status: 0 done,
// 1 usage, 2 no database, 3 damaged or unreadable database, 4 no such job.
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

#include "CalcJob.h"
#include "db/Database.h"
#include "db/Table.h"
#ifdef QUEN_CALC_REPORTS
#include "ReportCommand.h"
#endif

namespace {

void Err(const QString& text)
{
    std::fprintf(stderr, "quenpm-calc: %s\n", qPrintable(text));
}

void Out(const QString& text)
{
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stdout);
}

int Usage()
{
    Err(QStringLiteral("usage: quenpm-calc --list-jobs | --job NAME [--json] | --copy-database FROM TO [--replace]"));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
#ifdef QUEN_CALC_REPORTS
    if (quen::output::wantsReport(argc, argv))
        return quen::output::reportMain(argc, argv);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quenpm"));

    const QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args[0] == QLatin1String("--copy-database")) {
        if (args.size() < 3 || args.size() > 4 || (args.size() == 4 && args[3] != QLatin1String("--replace")))
            return Usage();
        try {
            quen::Database::copyDatabase(args[1], args[2], args.size() == 4);
        } catch (const quen::DbError& e) {
            Err(e.message());
            return 2;
        }
        Out(QStringLiteral("database copied\n"));
        return 0;
    }
    bool list = false, json = false;
    QString job;
    bool haveJob = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--list-jobs")) {
            list = true;
        } else if (a == QLatin1String("--json")) {
            json = true;
        } else if (a == QLatin1String("--job")) {
            if (i + 1 >= args.size())
                return Usage();
            job = args[++i];
            haveJob = true;
        } else {
            return Usage();
        }
    }
    if (list == haveJob)
        return Usage();

    QString path;
    try {
        path = quen::Database::resolveAlias();
    } catch (const quen::DbError& e) {
        Err(e.message());
        return 2;
    }
    // Opening a path that does not exist would create a new database.
    if (!quen::Database::exists(path)) {
        Err(QStringLiteral("no database at %1 (set QUENPM_DB to the database file or server)").arg(quen::Database::shownLocation(path)));
        return 2;
    }

    try {
        quen::Database::open(path);
        if (list) {
            for (const QString& name : quen::calc::ListJobs())
                Out(name + QLatin1Char('\n'));
            quen::Database::close();
            return 0;
        }
        quen::CropRunContext ctx;
        if (!quen::calc::LoadJob(job, ctx)) {
            quen::Database::close();
            Err(QStringLiteral("no saved job named \"%1\" in %2").arg(job, quen::Database::shownLocation(path)));
            return 4;
        }
        const QList<quen::calc::CropResult> crops = quen::calc::ComputeJob(ctx);
        // Closing stores the scratch tables (the emptied working table).
        quen::Database::close();
        Out(json ? quen::calc::JobJson(job, crops) : quen::calc::JobText(job, crops));
        std::fflush(stdout);
    } catch (const quen::DbError& e) {
        Err(QStringLiteral("the database %1 is damaged or unreadable: %2").arg(quen::Database::shownLocation(path), e.message()));
        return 3;
    } catch (const std::exception& e) {
        Err(QStringLiteral("the database %1 could not be read: %2").arg(path, QString::fromLocal8Bit(e.what())));
        return 3;
    }
    return 0;
}
