#include "FileDialog.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QStyle>

#include "Database.h"
#include "MessageService.h"

namespace quen {

QIcon TNameOnlyIconProvider::icon(IconType type) const
{
    QStyle* s = QApplication::style();
    switch (type) {
    case Computer: return s->standardIcon(QStyle::SP_ComputerIcon);
    case Desktop: return s->standardIcon(QStyle::SP_DesktopIcon);
    case Trashcan: return s->standardIcon(QStyle::SP_TrashIcon);
    case Network: return s->standardIcon(QStyle::SP_DriveNetIcon);
    case Drive: return s->standardIcon(QStyle::SP_DriveHDIcon);
    case Folder: return s->standardIcon(QStyle::SP_DirIcon);
    case File: break;
    }
    return s->standardIcon(QStyle::SP_FileIcon);
}

QIcon TNameOnlyIconProvider::icon(const QFileInfo& info) const
{
    // isDir() and isSymLink() are answered from the directory entry (stat).
    QStyle* s = QApplication::style();
    if (info.isDir())
        return s->standardIcon(info.isSymLink() ? QStyle::SP_DirLinkIcon : QStyle::SP_DirIcon);
    return s->standardIcon(info.isSymLink() ? QStyle::SP_FileLinkIcon : QStyle::SP_FileIcon);
}

QString TNameOnlyIconProvider::type(const QFileInfo& info) const
{
    if (info.isDir())
        return QStringLiteral("Folder");
    // MatchExtension: the name alone, never the content.
    static const QMimeDatabase mimes;
    const QMimeType t = mimes.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    if (!t.isDefault() && !t.comment().isEmpty())
        return t.comment();
    const QString suffix = info.suffix();
    return suffix.isEmpty() ? QStringLiteral("File") : suffix.toUpper() + QStringLiteral(" File");
}

TFileDialog::TFileDialog(QWidget* parent, const QString& caption, const QString& directory, const QString& filter)
    : QFileDialog(parent, caption, directory, filter)
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    setIconProvider(&m_icons);
}

QString TFileDialog::databaseFileText(const QString& path)
{
    return QStringLiteral("%1 is the database of the programs (or one of its working files). "
                          "It cannot be opened, overwritten or read here: choose another file.")
        .arg(QDir::toNativeSeparators(path));
}

void TFileDialog::accept()
{
    // A name typed in full is refused as well as one picked from the list.
    const QStringList chosen = selectedFiles();
    for (const QString& f : chosen)
        if (fileMode() != QFileDialog::Directory && Database::isDatabaseFile(f)) {
            showError(databaseFileText(f));
            return;
        }
    QFileDialog::accept();
}

namespace {

QString run(TFileDialog& dlg)
{
    return dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty() ? dlg.selectedFiles().first() : QString();
}

} // namespace

QString TFileDialog::getOpenFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter)
{
    TFileDialog dlg(parent, caption, dir, filter);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    return run(dlg);
}

QString TFileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter)
{
    TFileDialog dlg(parent, caption, dir, filter);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    return run(dlg);
}

QString TFileDialog::getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir)
{
    TFileDialog dlg(parent, caption, dir);
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly, true);
    return run(dlg);
}

} // namespace quen
