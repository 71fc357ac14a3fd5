// The preview window's file dialogs (Save, Open, Export PDF, Export CSV),
// shared by every report of the three programs, opened on the folder of the
// open database: the program keeps its hold on the database throughout.
#include <gtest/gtest.h>

#include <QAction>
#include <QTemporaryDir>

#include "Database.h"
#include "DialogHoldCheck.h"
#include "MessageBoxes.h"
#include "PreviewWindow.h"
#include "Report.h"
#include "Table.h"

using namespace quen;
using namespace quen::report;

TEST(PreviewDialogs, KeepTheProgramsHoldOnItsDatabase)
{
    QTemporaryDir dir, noData;
    const QString path = dir.filePath(QStringLiteral("Quenpm.sqlite"));
    Database::setDataDirectory(noData.path());   // empty tables are enough
    Database::open(path);
    ASSERT_FALSE(Database::isServerLocation(Database::path())) << "a file database only";
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());   // the dialogs start in the working directory

    Report rep(QStringLiteral("Held"));
    rep.titleBand().setHeight(20);
    rep.titleBand().addLabel(QRectF(0, 0, 300, 0), QStringLiteral("A report"));
    PreviewWindow w(rep.prepare());
    w.setCsvTables({CsvTable{QString(), {QStringLiteral("Month")}, {{QStringLiteral("Jan")}}}});
    TScriptedMessages said;
    QList<quentest::FileDialogUse> uses;
    for (QAction* a : {w.actionSave(), w.actionOpen(), w.actionExportPdf(), w.actionExportCsv()})
        uses.append({a->text(), [a] { a->trigger(); }});
    quentest::expectDialogsKeepTheHold(
        path, uses,
        [] {
            TTable job(QStringLiteral("QuenJob.db"));
            job.open();
            job.append();
            job.field(QStringLiteral("JobName")).setAsString(QStringLiteral("After the dialogs"));
            job.post();
        },
        QStringLiteral("SELECT JobName FROM QuenJob"), QStringLiteral("After the dialogs"));
    // Each refusal said why.
    EXPECT_EQ(said.count(), 4);
    for (const QString& t : said.texts())
        EXPECT_TRUE(t.contains(QStringLiteral("is the database of the programs"))) << qPrintable(t);
    QDir::setCurrent(cwd);
    Database::close();
}
