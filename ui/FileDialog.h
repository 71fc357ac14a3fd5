// File dialogs of the three programs: every import, export, open and save
// chooser goes through these.
//
// A file dialog must never open a file of the folder it shows: the database
// may be in that folder, and closing any descriptor of the database file or
// of its -wal / -shm drops every SQLite lock the program holds on it. The
// next program to open the database then believes it is alone and deletes
// the files this one goes on writing to. The toolkit's own dialog learns a
// file's type and icon by reading its first bytes (and a desktop's native
// dialog may do the same inside the program), so these dialogs always use
// the toolkit's widget dialog with an icon provider that never opens a
// file: a folder or a plain file icon, a type named from the file name
// alone. A chosen file that is the database or one of its side files is
// refused with a message and the dialog stays open.
#pragma once

#include <QFileDialog>
#include <QFileIconProvider>

namespace quen {

// Icons and type names from the name and the directory entry only.
class TNameOnlyIconProvider final : public QFileIconProvider {
public:
    QIcon icon(IconType type) const override;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;
};

class TFileDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit TFileDialog(QWidget* parent = nullptr, const QString& caption = QString(),
                         const QString& directory = QString(), const QString& filter = QString());

    // As QFileDialog's functions of the same names.
    static QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                   const QString& filter);
    static QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                   const QString& filter);
    static QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir = QString());

    // The message shown when the chosen file is the database or a side file.
    static QString databaseFileText(const QString& path);

public slots:
    void accept() override;

private:
    TNameOnlyIconProvider m_icons;
};

} // namespace quen
