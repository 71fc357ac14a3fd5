// The county reports of one download folder converted in list order into
// the folder's work file "TmpTP.txt" (CountyReport.h does each file), with
// the station list and the county list the county selection starts from.
#pragma once

#include <QStringList>
#include <functional>

#include "CountyReport.h"

class QDir;

namespace quen {
class TTable;
}

namespace quen::climprog {

// names ("StationList.db") and counties ("DownCnty.db") are open: each
// station written adds its name and number to names, each county met for
// the first time adds a row to counties. A file the converter abandons shows
// "Text search function error No 1" and the next file goes on. progress(n)
// runs after the n-th file. Returns the counties in the order met.
QStringList convertDownloadedReports(const QDir& dir, const QStringList& files, TConverterRun& run, TTable& names,
                                     TTable& counties, const std::function<void(int)>& progress);

} // namespace quen::climprog
