// The main window of QuenpmClim2, "Quen, Penman-Monteith (Quenpm) Climate
// Database": the two imports, the two editors, "&Help", "&About Program" and
// close. Each button runs its window modally (ClimModal.h).
#pragma once

#include "DatabaseMainForm.h"

class QGroupBox;
class QPushButton;

namespace quen::climprog {

class TMainForm : public TDatabaseMainForm {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    QGroupBox* GetDataGroup;       // "Get temperature and precipitation data to database"
    QPushButton* StateFileBtn;     // "New State From (Temperature/Precipitation) State Data Store to DB"
    QPushButton* DownloadBtn;      // "New or add  (Temperature/Precipitation] Korrin downloaded data to DB"
    QPushButton* NoaaImportBtn;    // "Import NOAA Normals (CSV)..."
    QGroupBox* EditGroup;          // "Edit database"
    QPushButton* EditClimBtn;      // "Edit Climate [Temperature/Precipitation] DB"
    QPushButton* EditWHRBtn;       // "Edit Wind/Humidity/Radiation DB"

    static QString applicationTitle() { return QStringLiteral("QuenpmClim Climate database"); }

public slots:
    void AboutBtnClick() override;
    void StateFileBtnClick();      // state file import, then the station editor
    void DownloadBtnClick();       // report import (directory selection window)
    void NoaaImportBtnClick();     // NOAA normals import window
    void EditClimBtnClick();       // climate station editor
    void EditWHRBtnClick();        // wind, humidity and radiation editor
};

extern TMainForm* MainForm;

} // namespace quen::climprog
