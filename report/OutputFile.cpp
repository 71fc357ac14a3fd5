#include "OutputFile.h"

#include <QDir>
#include <QFileInfo>

#include "DatabaseFiles.h"

namespace quen::report {

OutputFile::OutputFile(const QString& path) : m_path(path), m_file(path)
{
    // Never written in place, not even when the folder refuses a new file.
    m_file.setDirectWriteFallback(false);
}

bool OutputFile::open(QString* reason)
{
    auto refuse = [&](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (m_path.trimmed().isEmpty())
        return refuse(QStringLiteral("no file name was given"));
    if (isDatabaseFile(m_path))
        return refuse(QStringLiteral("it is the Quenpm database or one of its files"));
    if (QFileInfo(m_path).isDir())
        return refuse(QStringLiteral("it is a folder"));
    if (!m_file.open(QIODevice::WriteOnly))
        return refuse(m_file.errorString());
    return true;
}

bool OutputFile::commit(QString* reason)
{
    if (!m_file.isOpen()) {
        if (reason)
            *reason = QStringLiteral("the file was not opened");
        return false;
    }
    // The buffered rest is written first: a failure there is not noticed
    // by commit() itself, which would put a cut-off file in place.
    const bool flushed = m_file.flush();
    const bool writeFailed = !flushed || m_file.error() != QFileDevice::NoError;
    const QString writeError = m_file.errorString();
    if (writeFailed) {
        m_file.cancelWriting();
        m_file.commit();
        if (reason)
            *reason = writeError;
        return false;
    }
    if (!m_file.commit()) {
        if (reason)
            *reason = m_file.errorString();
        return false;
    }
    return true;
}

QString OutputFile::failureMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("Cannot write the file ") + QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())
           + QStringLiteral(": ") + reason + QStringLiteral(". Any earlier file of that name is left as it was.");
}

} // namespace quen::report
