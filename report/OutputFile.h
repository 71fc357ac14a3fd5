// Files the reports write (PDF, QRP, CSV): written whole to a temporary file
// in the target's folder and renamed over the target only when every write
// and the close succeeded, so that a full disk or a cut-off write leaves the
// earlier file as it was. The shared database and its side files are never
// a target.
#pragma once

#include <QSaveFile>
#include <QString>

namespace quen::report {

class OutputFile {
public:
    explicit OutputFile(const QString& path);

    // Creates the temporary file. False with the reason (fit to follow "Cannot
    // write the file X: ") when the target is the database or one of its
    // files, or the folder takes no new file.
    bool open(QString* reason);
    QIODevice* device() { return &m_file; }
    // Puts the written file in place of the target. False with the reason
    // when a write, the flush or the rename failed; the temporary file is
    // removed and the target keeps what it held.
    bool commit(QString* reason);

    // "Cannot write the file X: reason. ..." for the user.
    static QString failureMessage(const QString& path, const QString& reason);

private:
    QString m_path;
    QSaveFile m_file;
};

} // namespace quen::report
