#include "CountyDownload.h"

#include <QDir>
#include <QSet>

#include "MessageService.h"
#include "Table.h"

namespace quen::climprog {

QStringList convertDownloadedReports(const QDir& dir, const QStringList& files, TConverterRun& run, TTable& names,
                                     TTable& counties, const std::function<void(int)>& progress)
{
    QStringList order;
    QSet<QString> found;
    int done = 0;
    for (const QString& f : files) {
        const TConvertedFile r = convertCountyReport(dir.filePath(f), dir.filePath(QStringLiteral("TmpTP.txt")),
                                                     dir.filePath(QStringLiteral("Tmp2.txt")), run);
        if (!r.ok) {
            showError(QStringLiteral("Text search function error No %1").arg(1));
        } else {
            QList<QVariantList> rows;
            for (const auto& w : r.written) rows << QVariantList{QVariant(), w.first, w.second};
            names.appendRows(rows);
            for (const QString& c : r.counties) {
                if (found.contains(c)) continue;
                found.insert(c);
                counties.appendRecord({QVariant(), c});
                order << c;
            }
        }
        ++done;
        if (progress) progress(done);
    }
    return order;
}

} // namespace quen::climprog
