// Drives the next file dialog a window opens, from a timer (no test waits on
// a modal window): the dialog lists its folder (or the one given), every
// entry's icon and type are fetched as the list shows them, the names given
// are typed into its file name field (its completion lists them), a name
// that must be refused is tried, then the dialog is closed.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <memory>

namespace quentest {

struct DialogVisit {
    bool seen = false;          // a file dialog opened
    bool widgetDialog = false;  // the toolkit's widget dialog (the one whose reads are known)
    QString caption;
    QString folder;             // the folder it listed
    int listed = 0;             // entries listed
    bool stayedOpen = false;    // a refused name left it open
};

// Arms the driver for the next file dialog. typed: texts typed into the
// file name field one after the other; refuse: a name whose acceptance
// must be refused (empty: none tried). dir: the folder to show (empty: the
// dialog's own).
inline std::shared_ptr<DialogVisit> driveNextFileDialog(const QStringList& typed, const QString& refuse = QString(),
                                                        const QString& dir = QString())
{
    auto visit = std::make_shared<DialogVisit>();
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dlg) {
            if (++*tries > 500)   // 10 s without a dialog: give up
                timer->deleteLater();
            return;
        }
        timer->stop();
        timer->deleteLater();
        visit->seen = true;
        visit->widgetDialog = dlg->testOption(QFileDialog::DontUseNativeDialog);
        visit->caption = dlg->windowTitle();
        if (!dir.isEmpty())
            dlg->setDirectory(dir);
        dlg->setViewMode(QFileDialog::Detail);
        // Every file shown, as a planner choosing "All files" sees them.
        if (!dlg->testOption(QFileDialog::ShowDirsOnly)) {
            dlg->setNameFilters(dlg->nameFilters() << QStringLiteral("All files (*)"));
            dlg->selectNameFilter(QStringLiteral("All files (*)"));
        }
        visit->folder = dlg->directory().absolutePath();
        auto* model = dlg->findChild<QFileSystemModel*>();
        const int expected = int(QDir(visit->folder)
                                     .entryList((dlg->testOption(QFileDialog::ShowDirsOnly) ? QDir::Dirs : QDir::AllEntries)
                                                | QDir::NoDotAndDotDot)
                                     .size());
        if (model) {
            const QModelIndex root = model->index(visit->folder);
            QTest::qWaitFor([&] { return model->rowCount(root) >= expected; }, 5000);
            // Every entry's icon and type, as the list paints them.
            for (int r = 0; r < model->rowCount(root); ++r) {
                model->data(model->index(r, 0, root), Qt::DecorationRole);
                model->data(model->index(r, 2, root), Qt::DisplayRole);
            }
            visit->listed = model->rowCount(root);
        }
        QTest::qWait(300);   // the file information thread's late answers
        QPointer<QFileDialog> guard(dlg);
        if (auto* edit = dlg->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            for (const QString& t : typed) {
                edit->clear();
                QTest::keyClicks(edit, t);
                QTest::qWait(300);
            }
            if (!refuse.isEmpty() && guard) {
                // A question box a dialog might raise on the way ("replace
                // it?") is answered No rather than waited on.
                auto* boxes = new QTimer;
                auto left = std::make_shared<int>(100);
                QObject::connect(boxes, &QTimer::timeout, [boxes, left] {
                    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                        box->reject();
                    if (--*left <= 0)
                        boxes->deleteLater();
                });
                boxes->start(20);
                edit->setText(refuse);
                QMetaObject::invokeMethod(dlg, "accept");
                QTest::qWait(100);
                visit->stayedOpen = guard && guard->isVisible();
            }
        }
        if (guard)
            guard->reject();
    });
    timer->start(20);
    return visit;
}

} // namespace quentest
