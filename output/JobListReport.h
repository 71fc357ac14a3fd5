// The job list report "List of Available Jobs": one entry per saved job of
// "QuenJob.db", in the table's current index order.
#pragma once

#include <memory>

#include "PreparedReport.h"

class QWidget;

namespace quen {

class TTable;

namespace report {
class Report;
class DataSet;
}

class TFrmQRJobList {
public:
    // jobs: a handle on "QuenJob.db", open while the report prepares.
    explicit TFrmQRJobList(TTable* jobs);
    ~TFrmQRJobList();

    report::Report& report() { return *m_report; }
    report::PreparedReport prepare();

private:
    std::unique_ptr<report::Report> m_report;
};

// Prepares the list over a handle of "QuenJob.db" without a window. A closed
// handle is opened for the report and closed again; an open one is left on
// the job it stood on.
report::PreparedReport prepareJobList(TTable& jobs);

// "&List of Jobs": prepares the list over the data module's "QuenJob.db"
// handle (or a handle of its own when there is no data module) and shows it
// in the preview.
void previewJobList(QWidget* parent);

} // namespace quen
