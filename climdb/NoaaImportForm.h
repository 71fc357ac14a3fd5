// TNoaaImportForm, "Import NOAA Normals (CSV)": brings stations of NOAA's
// per-station climate normals files (one file or a whole folder) into the
// station table. It lists the stations found with their state and a county
// the planner types (filled in when the station is already in the table),
// lists every refused file with the field that made it fail, and on OK adds
// or replaces the stations in one transaction with a progress bar. The
// reading and storing are NoaaNormals.h; the window only shows and asks.
#pragma once

#include <QDialog>

#include "NoaaNormals.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace quen::climprog {

class TNoaaImportForm : public QDialog {
    Q_OBJECT
public:
    explicit TNoaaImportForm(QWidget* parent = nullptr);

    QPushButton* SelFileBtn;      // "Select File..."
    QPushButton* SelFolderBtn;    // "Select Folder..."
    QLabel* PathLabel;            // the chosen file or folder
    QTableWidget* StationGrid;    // stations found; the county column is typed
    QListWidget* RefusedList;     // "file: why" per refused file
    QProgressBar* ProgressBar;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // Reads a file or a folder and shows what it found (the file dialogs end here).
    void loadPath(const QString& fileOrFolder);
    const QList<NoaaStation>& stations() const { return m_stations; }
    NoaaStoreResult lastResult() const { return m_result; }

    enum Column { ColNumber, ColName, ColState, ColCounty, ColLat, ColLon, ColElev, ColFreeze, ColPeriod, ColCount };

public slots:
    void SelFileBtnClick();
    void SelFolderBtnClick();
    void OKBtnClick();            // store the stations, then close
    void CancelBtnClick();

private:
    QList<NoaaStation> m_stations;
    NoaaStoreResult m_result;
};

} // namespace quen::climprog
