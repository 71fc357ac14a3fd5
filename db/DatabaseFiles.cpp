#include "DatabaseFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <sys/stat.h>

#include "Database.h"
#include "DbError.h"
#include "Table.h"

namespace quen {

namespace {

// The name with its folder resolved (links of the folder followed), the
// file name itself as written.
QString resolvedName(const QString& path)
{
    const QFileInfo fi(path);
    const QString dir = fi.absoluteDir().canonicalPath();
    return (dir.isEmpty() ? fi.absolutePath() : dir) + QLatin1Char('/') + fi.fileName();
}

} // namespace

bool isDatabaseFile(const QString& path)
{
    if (path.trimmed().isEmpty())
        return false;
    QStringList databases;
    if (Database::isOpen())
        databases << Database::path();
    try {
        databases << Database::resolveAlias();
    } catch (const DbError&) {
        // no alias: only the open database counts
    }
    const QString target = resolvedName(path);
    struct stat targetInfo {};
    const bool targetExists = ::stat(QFile::encodeName(path).constData(), &targetInfo) == 0;
    for (const QString& db : std::as_const(databases)) {
        if (db.trimmed().isEmpty() || Database::isServerLocation(db))
            continue;
        for (const char* side : {"", "-wal", "-shm", "-journal"}) {
            const QString file = db + QLatin1String(side);
            if (resolvedName(file) == target)
                return true;
            struct stat info {};
            if (targetExists && ::stat(QFile::encodeName(file).constData(), &info) == 0
                && info.st_dev == targetInfo.st_dev && info.st_ino == targetInfo.st_ino)
                return true;
        }
    }
    return false;
}

} // namespace quen
