#include "DefSysDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "CropInputLimits.h"
#include "CropSetup.h"
#include "DBControls.h"
#include "DialogControls.h"
#include "PasswordDlg.h"
#include "Help.h"
#include "KcClimate.h"
#include "ReferenceDewPoint.h"
#include "MainDMod.h"
#include "MessageService.h"
#include "ModalRun.h"
#include "Table.h"

namespace quen::mainprog {

namespace {

TDataSource* sysSource() { return DMod ? DMod->datSysDef : nullptr; }

} // namespace

TDefSysDlg::TDefSysDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DefSysDlg"));
    setWindowTitle(QStringLiteral("System Default Values"));
    setModal(true);
    TDataSource* ds = sysSource();
    auto* panel = new QWidget(this);
    setHelpContext(panel, 19026);

    DBRadioGroup1 = named(new TDBRadioGroup(QStringLiteral("Primary ET Computation Methods"), panel), "DBRadioGroup1");
    DBRadioGroup1->setItems({QStringLiteral("FAO Penman-Monteith method, NEH 2 Bas crop curves"),
                             QStringLiteral("FAO Penman-Monteith method, FAO 56, Table 12 curves"),
                             QStringLiteral("Any FAO method"), QStringLiteral("Blaney Criddle TR21 Method"),
                             QStringLiteral("Any of the ET methods")},
                            {QStringLiteral("FAONEH"), QStringLiteral("FAO56"), QStringLiteral("ANYFAO"),
                             QStringLiteral("TR21"), QStringLiteral("ANY")});
    DBRadioGroup1->setDataSource(ds);
    DBRadioGroup1->setFieldName(QStringLiteral("ET Method"));

    ElevDBRadioGroup = named(new TDBRadioGroup(QStringLiteral("TR21 Elevation Correction"), panel), "ElevDBRadioGroup");
    ElevDBRadioGroup->setItems({QStringLiteral("Yes - Use Correction"), QStringLiteral("No -  Don't Use Correction")},
                               {QStringLiteral("True"), QStringLiteral("False")});
    ElevDBRadioGroup->setDataSource(ds);
    ElevDBRadioGroup->setFieldName(QStringLiteral("Elevation Correction"));

    PeakETDBRadio = named(new TDBRadioGroup(QStringLiteral("Peak ET  Computation Procedure"), panel), "PeakETDBRadio");
    PeakETDBRadio->setItems(
        {QStringLiteral("Blaney Criddle TR21 Procedure"),
         QStringLiteral("Doorenbos  Pruitt curve No 1.. Arid && Semi Arid, clear weather"),
         QStringLiteral("Doorenbos  Pruitt curve No 2.. Mid-continent, variable clouds, 0.4\" av ET"),
         QStringLiteral("Doorenbos  Pruitt curve No 3.. Mid-continent, variable clouds, 0.2\" av ET"),
         QStringLiteral("Doorenbos  Pruitt curve No 4.. Mid-cont., sub humid, highly variable clouds")},
        {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    PeakETDBRadio->setDataSource(ds);
    PeakETDBRadio->setFieldName(QStringLiteral("Peak ET Method"));

    SpringDBEdit = named(new TDBNumEdit(ds, QStringLiteral("Spring Carryover %"), QStringLiteral("##.##"),
                                      SystemDefaultRange::CarryOverPercent.lo, SystemDefaultRange::CarryOverPercent.hi, panel),
                         "SpringDBEdit");
    FallDBEdit = named(new TDBNumEdit(ds, QStringLiteral("Fall Carryover %"), QStringLiteral("##.##"),
                                      SystemDefaultRange::CarryOverPercent.lo, SystemDefaultRange::CarryOverPercent.hi, panel),
                       "FallDBEdit");
    for (TDBNumEdit* e : {SpringDBEdit, FallDBEdit}) {
        e->setCaretToEnd(true);
        e->setFixedWidth(64);
    }
    KcClimateCheck = named(new QCheckBox(QStringLiteral("Adjust FAO 56 Kc mid and Kc end to the station's RHmin and "
                                                        "wind (FAO 56 eq. 62, 65)"),
                                         panel),
                           "KcClimateCheck");
    DewPointCheck = named(new QCheckBox(QStringLiteral("Penman-Monteith: take the dew point of a well-watered site, "
                                                       "Tmin + Cor, for the station's humidity (FAO 56 eq. 48)"),
                                        panel),
                          "DewPointCheck");
    PasswordLabel = named(new QLabel(QStringLiteral("Password (Change?)"), panel), "PasswordLabel");
    PasswordDBEdit = named(new TDBEdit(ds, QStringLiteral("Password"), panel), "PasswordDBEdit");
    PasswordDBEdit->setMaxLength(25);
    NoteLabel = named(new QLabel(QStringLiteral("Editing these system values require a password:"), panel), "NoteLabel");

    auto* carry = new QGridLayout;
    carry->addWidget(new QLabel(QStringLiteral("Spring Carryover Percentage"), panel), 0, 0);
    carry->addWidget(SpringDBEdit, 0, 1);
    carry->addWidget(new QLabel(QStringLiteral("%"), panel), 0, 2);
    carry->addWidget(new QLabel(QStringLiteral("Fall Carryover Percentage"), panel), 1, 0);
    carry->addWidget(FallDBEdit, 1, 1);
    carry->addWidget(new QLabel(QStringLiteral("%"), panel), 1, 2);
    carry->addWidget(PasswordLabel, 2, 0);
    carry->addWidget(PasswordDBEdit, 2, 1, 1, 2);
    carry->setColumnStretch(3, 1);

    auto* pv = new QVBoxLayout(panel);
    pv->setContentsMargins(0, 0, 0, 0);
    pv->addWidget(bigTitle(QStringLiteral("DEFAULT VALUES"), panel), 0, Qt::AlignHCenter);
    pv->addWidget(new QLabel(QStringLiteral("Enter values compatable with the region"), panel), 0, Qt::AlignHCenter);
    auto* row = new QHBoxLayout;
    row->addWidget(DBRadioGroup1, 1);
    row->addWidget(ElevDBRadioGroup);
    pv->addLayout(row);
    pv->addWidget(PeakETDBRadio);
    pv->addWidget(KcClimateCheck);
    pv->addWidget(DewPointCheck);
    pv->addLayout(carry);
    pv->addWidget(NoteLabel);

    HelpBtn = named(new QPushButton(QStringLiteral("&Help"), this), "HelpBtn");
    OKBtn = named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    OKBtn->setDefault(true);
    OKBtn->setToolTip(QStringLiteral("Save changes and return to main"));
    CancelBtn = named(new QPushButton(QStringLiteral("Cancel"), this), "CancelBtn");
    EditDataBtn = named(new QPushButton(QStringLiteral("Edit Data"), this), "EditDataBtn");
    EditDataBtn->setToolTip(QStringLiteral("Edit data (password required)"));
    for (QPushButton* b : {HelpBtn, CancelBtn, EditDataBtn}) b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(HelpBtn);
    buttons->addStretch(1);
    buttons->addWidget(EditDataBtn);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto* v = new QVBoxLayout(this);
    v->addWidget(panel, 1);
    v->addLayout(buttons);

    setControlsEnabled(false);
    PasswordLabel->setVisible(false);
    PasswordDBEdit->setVisible(false);

    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(30); });
    connect(OKBtn, &QPushButton::clicked, this, &TDefSysDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TDefSysDlg::CancelBtnClick);
    connect(EditDataBtn, &QPushButton::clicked, this, &TDefSysDlg::EditDataBtnClick);
}

TDefSysDlg::~TDefSysDlg()
{
    if (DMod && DMod->tblSysDef->isOpen()) {
        if (DMod->tblSysDef->state() != TTable::State::Browse) DMod->tblSysDef->cancel();
        DMod->tblSysDef->close();
    }
}

void TDefSysDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
        centre(this);
    }
}

void TDefSysDlg::FormShow()
{
    if (DMod && !DMod->tblSysDef->isOpen()) DMod->tblSysDef->open();
    KcClimateCheck->setChecked(KcClimateOptionOn());
    DewPointCheck->setChecked(ReferenceDewPointOptionOn());
}

void TDefSysDlg::setControlsEnabled(bool on)
{
    for (QWidget* w : {static_cast<QWidget*>(DBRadioGroup1), static_cast<QWidget*>(ElevDBRadioGroup),
                       static_cast<QWidget*>(PeakETDBRadio), static_cast<QWidget*>(SpringDBEdit),
                       static_cast<QWidget*>(FallDBEdit), static_cast<QWidget*>(KcClimateCheck),
                       static_cast<QWidget*>(DewPointCheck)})
        w->setEnabled(on);
}

void TDefSysDlg::EditDataBtnClick()
{
    TPasswordDlg pw(this, this);
    runModal(pw);
}

void TDefSysDlg::enterEditMode()
{
    if (DMod) {
        if (!DMod->tblSysDef->isOpen()) DMod->tblSysDef->open();
        if (DMod->tblSysDef->state() == TTable::State::Browse) DMod->tblSysDef->edit();
    }
    m_editing = true;
    setWindowTitle(QStringLiteral("System Defaults (EDIT MODE)"));
    setControlsEnabled(true);
    PasswordLabel->setVisible(true);
    PasswordDBEdit->setVisible(true);
    NoteLabel->setVisible(false);
    EditDataBtn->setEnabled(false);   // already editing
}

void TDefSysDlg::OKBtnClick()
{
    if (m_done) return;
    if (DMod && DMod->tblSysDef->isOpen() && DMod->tblSysDef->state() != TTable::State::Browse) {
        try {
            DMod->tblSysDef->post();
        } catch (const DbError& e) {
            showError(e.message());
            return;
        }
    }
    if (m_editing) {
        try {
            SetKcClimateOption(KcClimateCheck->isChecked());
            SetReferenceDewPointOption(DewPointCheck->isChecked());
        } catch (const DbError& e) {
            showError(e.message());
            return;
        }
    }
    m_done = true;
    m_editing = false;
    setWindowTitle(QStringLiteral("System Default Values)"));
    setControlsEnabled(false);
    if (DMod) DMod->tblSysDef->close();
    done(QDialog::Accepted);
}

void TDefSysDlg::CancelBtnClick()
{
    if (m_done) return;
    m_done = true;
    if (DMod && DMod->tblSysDef->isOpen() && DMod->tblSysDef->state() != TTable::State::Browse)
        DMod->tblSysDef->cancel();
    m_editing = false;
    setWindowTitle(QStringLiteral("System Default Values)"));
    setControlsEnabled(false);
    NoteLabel->setVisible(true);
    if (DMod) DMod->tblSysDef->close();
    done(QDialog::Rejected);
}

void TDefSysDlg::reject()
{
    if (!m_done) CancelBtnClick();
    else QDialog::reject();
}

} // namespace quen::mainprog
