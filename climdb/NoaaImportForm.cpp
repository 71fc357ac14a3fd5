#include "NoaaImportForm.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

#include "Database.h"
#include "FileDialog.h"
#include "Help.h"
#include "MessageService.h"
#include "Table.h"

namespace quen::climprog {

namespace {

// The county already stored for a station of the same number, without its
// state ("Grafton" of "Grafton, NH"); "" when the station is new.
QString storedCounty(const NoaaStation& s)
{
    try {
        TTable clim(QStringLiteral("Climate.DB"));
        clim.setIndexName(QStringLiteral("StaNumberIndex"));
        clim.open();
        const QString number = NoaaStationNumber(s.ghcnId);
        if (clim.findKey({number + QLatin1Char(' ')}) || clim.findKey({number}))
            return clim.field(QStringLiteral("County")).asString().section(QLatin1Char(','), 0, -2).trimmed();
    } catch (const DbError&) {
    }
    return QString();
}

// "28 F 04/28-10/14, 32 F 05/09-10/05"; "not known" for a pair NOAA gives no date for
QString freezeText(const NoaaStation& s)
{
    auto pair = [](const QString& spring, const QString& fall) {
        if (spring.isEmpty() && fall.isEmpty()) return QStringLiteral("not known");
        auto d = [](const QString& v) { return v.isEmpty() ? QStringLiteral("?") : v; };
        return d(spring) + QLatin1Char('-') + d(fall);
    };
    return QStringLiteral("28 F %1, 32 F %2").arg(pair(s.spring28, s.fall28), pair(s.spring32, s.fall32));
}

} // namespace

TNoaaImportForm::TNoaaImportForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NoaaImportForm"));
    setWindowTitle(QStringLiteral("Import NOAA Normals (CSV)"));
    setHelpContext(this, 19207);
    auto* v = new QVBoxLayout(this);
    auto* note = new QLabel(QStringLiteral("NOAA NCEI station normals files (1991-2020 or 1981-2010, monthly, with the "
                                           "annual/seasonal file beside them for the freeze dates). Type the county of "
                                           "each station; stations already in the database are replaced."), this);
    note->setWordWrap(true);
    v->addWidget(note);
    auto* row = new QHBoxLayout;
    SelFileBtn = new QPushButton(QStringLiteral("Select File..."), this);
    SelFileBtn->setObjectName(QStringLiteral("SelFileBtn"));
    SelFolderBtn = new QPushButton(QStringLiteral("Select Folder..."), this);
    SelFolderBtn->setObjectName(QStringLiteral("SelFolderBtn"));
    PathLabel = new QLabel(this);
    PathLabel->setObjectName(QStringLiteral("PathLabel"));
    row->addWidget(SelFileBtn);
    row->addWidget(SelFolderBtn);
    row->addWidget(PathLabel, 1);
    v->addLayout(row);

    StationGrid = new QTableWidget(0, ColCount, this);
    StationGrid->setObjectName(QStringLiteral("StationGrid"));
    StationGrid->setHorizontalHeaderLabels({QStringLiteral("Station No"), QStringLiteral("Station Name"),
                                            QStringLiteral("State"), QStringLiteral("County"), QStringLiteral("Latitude"),
                                            QStringLiteral("Longitude"), QStringLiteral("Elevation (ft)"),
                                            QStringLiteral("Freeze dates (50 %)"), QStringLiteral("Normals")});
    StationGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    StationGrid->verticalHeader()->setVisible(false);
    v->addWidget(StationGrid, 3);

    v->addWidget(new QLabel(QStringLiteral("Refused files"), this));
    RefusedList = new QListWidget(this);
    RefusedList->setObjectName(QStringLiteral("RefusedList"));
    v->addWidget(RefusedList, 1);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setValue(0);
    v->addWidget(ProgressBar);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setToolTip(QStringLiteral("Add or replace these stations"));
    OKBtn->setDefault(true);
    OKBtn->setEnabled(false);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    v->addLayout(buttons);

    connect(SelFileBtn, &QPushButton::clicked, this, &TNoaaImportForm::SelFileBtnClick);
    connect(SelFolderBtn, &QPushButton::clicked, this, &TNoaaImportForm::SelFolderBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &TNoaaImportForm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TNoaaImportForm::CancelBtnClick);
    resize(1060, 560);
}

void TNoaaImportForm::SelFileBtnClick()
{
    const QString f = TFileDialog::getOpenFileName(this, QStringLiteral("Select a NOAA Normals File"), QString(),
                                                   QStringLiteral("NOAA normals (*.csv)"));
    if (!f.isEmpty()) loadPath(f);
}

void TNoaaImportForm::SelFolderBtnClick()
{
    const QString d = TFileDialog::getExistingDirectory(this, QStringLiteral("Select a Folder of NOAA Normals Files"));
    if (!d.isEmpty()) loadPath(d);
}

void TNoaaImportForm::loadPath(const QString& fileOrFolder)
{
    if (Database::isDatabaseFile(fileOrFolder)) {   // never read: that would drop the program's hold on it
        showError(TFileDialog::databaseFileText(fileOrFolder));
        return;
    }
    PathLabel->setText(QDir::toNativeSeparators(fileOrFolder));
    ProgressBar->setValue(0);
    const NoaaScan scan = ScanNoaaNormals(fileOrFolder, [this](int done, int total) {
        ProgressBar->setMaximum(total);
        ProgressBar->setValue(done);
    });
    m_stations = scan.stations;
    RefusedList->clear();
    for (const NoaaFileResult& r : scan.refused) {
        RefusedList->addItem(r.error);
        RefusedList->item(RefusedList->count() - 1)->setToolTip(r.error);
    }
    StationGrid->setRowCount(int(m_stations.size()));
    for (int i = 0; i < m_stations.size(); ++i) {
        NoaaStation& s = m_stations[i];
        s.county = storedCounty(s);
        const QString cells[ColCount] = {
            NoaaStationNumber(s.ghcnId), s.name, s.state, s.county,
            QString::number(NoaaDegreesMinutes(s.latitude)), QString::number(NoaaDegreesMinutes(s.longitude)),
            QString::number(std::floor(s.elevationM * 3.28083 + 0.5)), freezeText(s), s.period};
        for (int c = 0; c < ColCount; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c != ColCounty) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            StationGrid->setItem(i, c, item);
        }
    }
    OKBtn->setEnabled(!m_stations.isEmpty());
    // one file: its refusal is the answer
    if (m_stations.isEmpty() && scan.refused.size() == 1) showError(scan.refused.first().error);
    else if (m_stations.isEmpty() && scan.refused.isEmpty())
        showError(QStringLiteral("No NOAA normals file (*.csv) found in %1.").arg(QDir::toNativeSeparators(fileOrFolder)));
}

void TNoaaImportForm::OKBtnClick()
{
    if (m_stations.isEmpty()) {
        showError(QStringLiteral("There are no stations to import."));
        return;
    }
    for (int i = 0; i < m_stations.size(); ++i) {
        m_stations[i].county = StationGrid->item(i, ColCounty) ? StationGrid->item(i, ColCounty)->text() : QString();
        const QString problem = NoaaStoreProblem(m_stations[i]);
        if (!problem.isEmpty()) {
            StationGrid->setCurrentCell(i, ColCounty);
            showError(problem);
            return;
        }
    }
    ProgressBar->setMaximum(int(m_stations.size()));
    ProgressBar->setValue(0);
    try {
        m_result = StoreNoaaStations(m_stations, [this](int done) { ProgressBar->setValue(done); });
    } catch (const DbError& e) {
        showError(QStringLiteral("No station was imported: %1").arg(e.message()));
        return;
    }
    showInfo(QStringLiteral("%1 stations added, %2 replaced.").arg(m_result.added).arg(m_result.replaced));
    accept();
}

void TNoaaImportForm::CancelBtnClick()
{
    reject();
}

} // namespace quen::climprog
