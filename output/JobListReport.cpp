#include "JobListReport.h"

#include <QApplication>
#include <QCursor>

#include "MainDMod.h"
#include "PreviewWindow.h"
#include "Report.h"
#include "Table.h"

namespace quen {

using namespace report;

TFrmQRJobList::TFrmQRJobList(TTable* jobs) : m_report(std::make_unique<Report>(QStringLiteral("List of Available Jobs")))
{
    Report& rep = *m_report;
    rep.setTable(jobs);
    const FontSpec text(10);
    const FontSpec bold(10, true);

    Band& head = rep.pageHeader();
    head.setHeight(48);
    head.addLabel(QRectF(0, 0, kPrintWidth, 0), QStringLiteral("Quen (Quen) Program"), FontSpec(14, true),
                  Qt::AlignHCenter);
    head.addLabel(QRectF(0, 20, kPrintWidth, 0), QStringLiteral("List of Available Jobs"), FontSpec(12, true),
                  Qt::AlignHCenter);

    // Per job: a rule; the job name (growing downwards when it is long) and
    // its date; county and location; weather station and its number.
    Band& d = rep.detail();
    d.setHeight(54);
    d.addHLine(0, 3, kPrintWidth, 0.75);
    d.addLabel(QRectF(0, 8, 40, 0), QStringLiteral("Job:"), text);
    d.addField(QRectF(40, 8, 350, 0), QStringLiteral("JobName"), bold)->setWordWrap(true);
    d.addField(QRectF(420, 8, 120, 0), QStringLiteral("Job Date"), text, Qt::AlignRight);
    d.addLabel(QRectF(0, 23, 50, 0), QStringLiteral("County:"), text);
    d.addField(QRectF(50, 23, 170, 0), QStringLiteral("County"), text);
    d.addLabel(QRectF(230, 23, 55, 0), QStringLiteral("Location:"), text);
    d.addField(QRectF(285, 23, 255, 0), QStringLiteral("Location"), text);
    d.addLabel(QRectF(0, 37, 90, 0), QStringLiteral("Weather Station:"), text);
    d.addField(QRectF(90, 37, 175, 0), QStringLiteral("Weather Station"), text);
    d.addField(QRectF(270, 37, 80, 0), QStringLiteral("StationNo"), text);

    Band& foot = rep.pageFooter();
    foot.setHeight(18);
    foot.addSystemValue(QRectF(0, 4, 200, 0), SystemValue::Date, QStringLiteral("Date:  "), text);
    foot.addSystemValue(QRectF(340, 4, 200, 0), SystemValue::PageNumber, QStringLiteral("Page:  "), text,
                        Qt::AlignRight);
}

TFrmQRJobList::~TFrmQRJobList() = default;

PreparedReport TFrmQRJobList::prepare() { return m_report->prepare(); }

PreparedReport prepareJobList(TTable& jobs)
{
    const bool wasOpen = jobs.isOpen();
    QString current;
    if (wasOpen && !jobs.isEmpty())
        current = jobs.field(QStringLiteral("JobName")).asString();
    if (!wasOpen)
        jobs.open();
    struct Restore {
        TTable& t;
        bool wasOpen;
        QString current;
        ~Restore()
        {
            try {
                if (!wasOpen)
                    t.close();
                else if (!current.isNull())
                    t.locate(QStringLiteral("JobName"), current);
            } catch (...) {
            }
        }
    } restore{jobs, wasOpen, current};
    TFrmQRJobList form(&jobs);
    return form.prepare();
}

void previewJobList(QWidget* parent)
{
    PreparedReport pages;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct RestoreCursor {
            ~RestoreCursor() { QApplication::restoreOverrideCursor(); }
        } restoreCursor;
        if (mainprog::DMod && mainprog::DMod->tblQuenJob) {
            pages = prepareJobList(*mainprog::DMod->tblQuenJob);
        } else {
            TTable jobs(QStringLiteral("QuenJob.db"));
            pages = prepareJobList(jobs);
        }
    }
    showPreview(pages, parent);
}

} // namespace quen
