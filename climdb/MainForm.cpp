#include "MainForm.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "AboutClimBox.h"
#include "ClimDBForm.h"
#include "ClimModal.h"
#include "NoaaImportForm.h"
#include "SelDirForm.h"
#include "StateToDBForm.h"
#include "WHRForm.h"

namespace quen::climprog {

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(QWidget* parent)
    : TDatabaseMainForm(QStringLiteral("ClimMainForm"),
                        QStringLiteral("Quen, Penman-Monteith (Quenpm) Climate Database"),
                        QStringLiteral("Climate Database"), 19201, parent)
{
    MainForm = this;
    QWidget* central = centralWidget();
    QVBoxLayout* v = body();

    GetDataGroup = new QGroupBox(QStringLiteral("Get temperature and precipitation data to database"), central);
    GetDataGroup->setObjectName(QStringLiteral("GetDataGroup"));
    auto* gv = new QVBoxLayout(GetDataGroup);
    StateFileBtn = makeButton(QStringLiteral("StateFileBtn"),
                              QStringLiteral("New State From (Temperature/Precipitation) State Data Store to DB"), GetDataGroup);
    DownloadBtn = makeButton(QStringLiteral("DownloadBtn"),
                             QStringLiteral("New or add  (Temperature/Precipitation] Korrin downloaded data to DB"), GetDataGroup);
    gv->addWidget(StateFileBtn);
    gv->addWidget(DownloadBtn);
    NoaaImportBtn = makeButton(QStringLiteral("NoaaImportBtn"), QStringLiteral("Import NOAA Normals (CSV)..."), GetDataGroup);
    gv->addWidget(NoaaImportBtn);
    v->addWidget(GetDataGroup);

    EditGroup = new QGroupBox(QStringLiteral("Edit database"), central);
    EditGroup->setObjectName(QStringLiteral("EditGroup"));
    auto* ev = new QVBoxLayout(EditGroup);
    EditClimBtn = makeButton(QStringLiteral("EditClimBtn"), QStringLiteral("Edit Climate [Temperature/Precipitation] DB"), EditGroup);
    EditWHRBtn = makeButton(QStringLiteral("EditWHRBtn"), QStringLiteral("Edit Wind/Humidity/Radiation DB"), EditGroup);
    ev->addWidget(EditClimBtn);
    ev->addWidget(EditWHRBtn);
    ev->addLayout(makeHelpRow(EditGroup));
    v->addWidget(EditGroup);
    v->addStretch();

    connect(StateFileBtn, &QPushButton::clicked, this, &TMainForm::StateFileBtnClick);
    connect(DownloadBtn, &QPushButton::clicked, this, &TMainForm::DownloadBtnClick);
    connect(NoaaImportBtn, &QPushButton::clicked, this, &TMainForm::NoaaImportBtnClick);
    connect(EditClimBtn, &QPushButton::clicked, this, &TMainForm::EditClimBtnClick);
    connect(EditWHRBtn, &QPushButton::clicked, this, &TMainForm::EditWHRBtnClick);

    resize(620, 420);
}

TMainForm::~TMainForm()
{
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::AboutBtnClick()
{
    TAboutClimBox box(this);
    box.exec();
}

std::function<int(QDialog&)> runClimDialog = [](QDialog& d) { return d.exec(); };

void TMainForm::StateFileBtnClick()
{
    {
        TStateToDBForm form(this);
        runClimDialog(form);
    }
    EditClimBtnClick();
}

void TMainForm::DownloadBtnClick()
{
    if (SelDirForm) runClimDialog(*SelDirForm);
}

void TMainForm::NoaaImportBtnClick()
{
    TNoaaImportForm form(this);
    runClimDialog(form);
}

void TMainForm::EditClimBtnClick()
{
    TClimDBForm form(this);
    runClimDialog(form);
}

void TMainForm::EditWHRBtnClick()
{
    TWHRForm form(this);
    runClimDialog(form);
}

} // namespace quen::climprog
