// The check every program's file dialogs pass: each dialog, opened on the
// database's own folder, lists it (every entry's icon and type), takes a
// path typed through it and refuses the database file itself; afterwards
// the program still holds its database, another program reads it without
// removing the side files, the program's next write reaches the file and
// the file is sound.
#pragma once

#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>

#include "DbHold.h"
#include "FileDialogDriver.h"

namespace quentest {

struct FileDialogUse {
    QString name;                    // for the failure messages
    std::function<void()> open;      // opens the dialog (returns once it closed)
    bool picksFolder = false;        // a folder picker: no file name is refused
};

// write: one write of the program to the shared file (a post or a save);
// seen: a statement whose first row another program reads once that write
// reached the file, and the value it must read.
inline void expectDialogsKeepTheHold(const QString& dbPath, const QList<FileDialogUse>& dialogs,
                                     const std::function<void()>& write, const QString& seen, const QString& value)
{
    const QFileInfo db(dbPath);
    const QString folder = db.absolutePath();
    ASSERT_TRUE(holdsDatabaseLocks(dbPath)) << "no hold on the database before any dialog";
    for (const FileDialogUse& use : dialogs) {
        SCOPED_TRACE(use.name.toStdString());
        // The base name typed in part (completion lists the database's
        // files), then the folder typed as a path with the start of a name.
        const QStringList typed{db.fileName().left(4), folder + QLatin1Char('/') + db.fileName().left(6)};
        auto visit = driveNextFileDialog(typed, use.picksFolder ? QString() : dbPath, folder);
        use.open();
        EXPECT_TRUE(visit->seen) << "no file dialog opened";
        EXPECT_TRUE(visit->widgetDialog) << "a dialog whose reads of the folder are not known";
        EXPECT_EQ(visit->folder, folder);
        if (!use.picksFolder) {
            EXPECT_GE(visit->listed, 3) << "the database and its side files listed";
            EXPECT_TRUE(visit->stayedOpen) << "the database file was accepted as a file to read or write";
        }
        EXPECT_TRUE(holdsDatabaseLocks(dbPath)) << "the dialog dropped the program's locks on its database";
    }
    // Another program reads and closes: the program's files stay in place.
    EXPECT_EQ(peer(dbPath, {QStringLiteral("PRAGMA quick_check")}), QStringList({QStringLiteral("ok")}));
    EXPECT_TRUE(deletedDatabaseFiles(dbPath).isEmpty()) << qPrintable(deletedDatabaseFiles(dbPath).join(", "));
    write();
    EXPECT_EQ(peer(dbPath, {seen, QStringLiteral("PRAGMA integrity_check")}), QStringList({value, QStringLiteral("ok")}));
    EXPECT_TRUE(deletedDatabaseFiles(dbPath).isEmpty());
    EXPECT_TRUE(holdsDatabaseLocks(dbPath));
}

} // namespace quentest
