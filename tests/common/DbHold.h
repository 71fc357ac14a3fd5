// A program's hold on its SQLite database file, as the tests check it.
//
// In WAL mode a connection holds, for its life, a POSIX read lock on the
// database file (the readers' range) and on byte 128 of the -shm file;
// /proc/locks lists them by process and inode. Losing them lets the next
// program that closes the database delete the -wal and -shm this one still
// writes to; the descriptors then show as "(deleted)" in /proc/self/fd.
// None of these checks opens the database files.
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace quentest {

// "maj:min:ino" as /proc/locks writes a file's identity; empty when absent.
inline QString lockId(const QString& path)
{
    struct stat sb;
    if (::stat(QFile::encodeName(path).constData(), &sb) != 0)
        return QString();
    return QStringLiteral("%1:%2:%3")
        .arg(major(sb.st_dev), 2, 16, QLatin1Char('0'))
        .arg(minor(sb.st_dev), 2, 16, QLatin1Char('0'))
        .arg(qulonglong(sb.st_ino));
}

// The lines of /proc/locks held by this process on the file at path, known
// by its inode number (an overlay file system lists locks under the device
// of the layer below the one stat() gives).
inline QStringList locksOn(const QString& path)
{
    const QString id = lockId(path).section(QLatin1Char(':'), 2);
    QStringList out;
    QFile f(QStringLiteral("/proc/locks"));
    if (id.isEmpty() || !f.open(QIODevice::ReadOnly))
        return out;
    const QString pid = QString::number(::getpid());
    for (const QString& line : QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'))) {
        const QStringList w = line.simplified().split(QLatin1Char(' '));
        if (w.size() >= 8 && w[1] == QLatin1String("POSIX") && w[4] == pid && w[5].section(QLatin1Char(':'), 2) == id)
            out << line.simplified();
    }
    return out;
}

// Whether this process holds SQLite's locks on the database at path: the
// shared lock on the file and the one on the -shm "DMS" byte (128).
inline bool holdsDatabaseLocks(const QString& path)
{
    bool dms = false;
    for (const QString& l : locksOn(path + QLatin1String("-shm"))) {
        const QStringList w = l.split(QLatin1Char(' '));
        if (w[6].toLongLong() <= 128 && 128 <= w[7].toLongLong())
            dms = true;
    }
    return dms && !locksOn(path).isEmpty();
}

// The database files (the file, -wal, -shm) this process holds open though
// they were deleted.
inline QStringList deletedDatabaseFiles(const QString& path)
{
    QStringList out;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& fd : fds.entryList(QDir::Files | QDir::System)) {
        const QString target = QFile::symLinkTarget(fds.filePath(fd));
        if (target.startsWith(path) && target.endsWith(QLatin1String(" (deleted)")))
            out << target;
    }
    return out;
}

// Another program on the database: runs the statements with SQLite alone,
// then closes the file (deleting the side files when it finds itself the
// last user). The rows it read, one line each ("a|b"); "error: ..." when it
// failed.
inline QStringList peer(const QString& path, const QStringList& statements)
{
    QProcess p;
    p.start(QStringLiteral(QUEN_DB_PEER), QStringList{path} + statements);
    if (!p.waitForFinished(30000))
        return {QStringLiteral("error: the other program did not finish")};
    if (p.exitCode() != 0)
        return {QStringLiteral("error: ") + QString::fromLocal8Bit(p.readAllStandardError()).trimmed()};
    QStringList out = QString::fromLocal8Bit(p.readAllStandardOutput()).split(QLatin1Char('\n'));
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

// Drops this process's locks on file as a careless reader would: opens the
// file and closes it again (the test of the programs' second line of
// defence; nothing in the programs may do this).
inline void openAndCloseOutsideSqlite(const QString& file)
{
    QFile f(file);
    if (f.open(QIODevice::ReadOnly))
        f.close();
}

} // namespace quentest
