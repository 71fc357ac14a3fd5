#include "MainForm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "AboutCropBox.h"
#include "AnTypeForm.h"
#include "BasFieldVegForm.h"
#include "BasGrassForm.h"
#include "BasPerenForm.h"
#include "BCAnuForm.h"
#include "BCPerenForm.h"
#include "CropDMod.h"
#include "CropForm.h"
#include "CropFormKit.h"
#include "FAO56CropsForm.h"
#include "FAO56tbl12DBdlg.h"
#include "FAOTable11data.h"

namespace quen::cropprog {

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(QWidget* parent)
    : TDatabaseMainForm(QStringLiteral("CropMainForm"), QStringLiteral("Quen Crops Databases"),
                        QStringLiteral("Crop Database Maintenance Program"), 19101, parent)
{
    MainForm = this;
    QWidget* central = centralWidget();
    QVBoxLayout* v = body();

    CropDBBtn = makeButton(QStringLiteral("CropDBBtn"), QStringLiteral("Create or Edit Local Crop Database"), central);
    QFont bf = CropDBBtn->font();
    bf.setBold(true);
    CropDBBtn->setFont(bf);
    v->addWidget(CropDBBtn);

    CurveGroup = new QGroupBox(QStringLiteral("Review or Edit Crop Curve Tables"), central);
    CurveGroup->setObjectName(QStringLiteral("CurveGroup"));
    auto* g = new QGridLayout(CurveGroup);
    BasFldVegBtn = makeButton(QStringLiteral("BasFldVegBtn"), QStringLiteral("Basal Kc - Field and Vegetable Crops"), CurveGroup);
    BasPerenBtn = makeButton(QStringLiteral("BasPerenBtn"), QStringLiteral("Basal Kc - Perennial  and Specialty Crops"), CurveGroup);
    BasGrassBtn = makeButton(QStringLiteral("BasGrassBtn"), QStringLiteral("Basal Kc - Grasses and Forage Legumes"), CurveGroup);
    BCAnnualBtn = makeButton(QStringLiteral("BCAnnualBtn"), QStringLiteral("BC TR21 Kc - Annual Crops"), CurveGroup);
    BCPerenBtn = makeButton(QStringLiteral("BCPerenBtn"), QStringLiteral("BC TR21 Kc - Perennial Crops"), CurveGroup);
    AnTypeBtn = makeButton(QStringLiteral("AnTypeBtn"), QStringLiteral("Basal - Crop Type (Field && Veg)"), CurveGroup);
    FAO56TblBtn = makeButton(QStringLiteral("FAO56TblBtn"), QStringLiteral("FAO56 Table 12 Database"), CurveGroup);
    FAOCurvBtn = makeButton(QStringLiteral("FAOCurvBtn"), QStringLiteral("FAO Kc - Crop Curves"), CurveGroup);
    FAOTbl11Btn = makeButton(QStringLiteral("FAOTbl11Btn"), QStringLiteral("FAO56 Table 11 Database"), CurveGroup);
    g->addWidget(BasFldVegBtn, 0, 0);
    g->addWidget(BasPerenBtn, 1, 0);
    g->addWidget(BasGrassBtn, 2, 0);
    g->addWidget(AnTypeBtn, 3, 0);
    g->addWidget(BCAnnualBtn, 0, 1);
    g->addWidget(BCPerenBtn, 1, 1);
    g->addWidget(FAO56TblBtn, 2, 1);
    g->addWidget(FAOCurvBtn, 3, 1);
    g->addWidget(FAOTbl11Btn, 4, 1);
    v->addWidget(CurveGroup);
    v->addStretch();

    v->addLayout(makeHelpRow(central));

    connect(CropDBBtn, &QPushButton::clicked, this, &TMainForm::CropDBBtnClick);
    connect(BasFldVegBtn, &QPushButton::clicked, this, &TMainForm::BasFldVegBtnClick);
    connect(BasPerenBtn, &QPushButton::clicked, this, &TMainForm::BasPerenBtnClick);
    connect(BasGrassBtn, &QPushButton::clicked, this, &TMainForm::BasGrassBtnClick);
    connect(BCAnnualBtn, &QPushButton::clicked, this, &TMainForm::BCAnnualBtnClick);
    connect(BCPerenBtn, &QPushButton::clicked, this, &TMainForm::BCPerenBtnClick);
    connect(AnTypeBtn, &QPushButton::clicked, this, &TMainForm::AnTypeBtnClick);
    connect(FAO56TblBtn, &QPushButton::clicked, this, &TMainForm::FAO56TblBtnClick);
    connect(FAOCurvBtn, &QPushButton::clicked, this, &TMainForm::FAOCurvBtnClick);
    connect(FAOTbl11Btn, &QPushButton::clicked, this, &TMainForm::FAOTbl11BtnClick);

    resize(620, 460);
}

TMainForm::~TMainForm()
{
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::AboutBtnClick()
{
    TAboutCropBox box(this);
    box.exec();
}

// Opens the tables a window needs, shows it, and closes them again whatever
// happens in between.
template <class Window>
static void openAndShow(QWidget* parent, std::initializer_list<TTable*> tables)
{
    struct Closer {
        std::initializer_list<TTable*> tables;
        ~Closer()
        {
            for (TTable* t : tables) {
                try {
                    t->close();
                } catch (...) {
                }
            }
        }
    } closer{tables};
    for (TTable* t : tables)
        if (!t->isOpen()) t->open();
    Window w(parent);
    runModal(w);
}

void TMainForm::CropDBBtnClick()
{
    openAndShow<TCropForm>(this, {DMod->tblCreateCrp, DMod->tblLastUse});
}

void TMainForm::BasFldVegBtnClick()
{
    openAndShow<TBasFieldVegForm>(this, {DMod->tblBasFldVeg, DMod->tblAnType});
}

void TMainForm::BasPerenBtnClick()
{
    openAndShow<TBasPerenForm>(this, {DMod->tblBasPeren});
}

void TMainForm::BasGrassBtnClick()
{
    openAndShow<TBasGrassForm>(this, {DMod->tblBasGrass});
}

void TMainForm::BCAnnualBtnClick()
{
    openAndShow<TBCAnuForm>(this, {DMod->tblBCAnnual});
}

void TMainForm::BCPerenBtnClick()
{
    openAndShow<TBCPerenForm>(this, {DMod->tblBCPeren});
}

void TMainForm::AnTypeBtnClick()
{
    openAndShow<TAnTypeForm>(this, {DMod->tblAnType});
}

// The Table 12 and FAO curves windows open their tables themselves.
void TMainForm::FAO56TblBtnClick()
{
    TFAO56tbl12DBdlg w(this);
    runModal(w);
}

void TMainForm::FAOCurvBtnClick()
{
    TFAO56CropsForm w(this);
    runModal(w);
}

void TMainForm::FAOTbl11BtnClick()
{
    openAndShow<TFAOTable11data>(this, {DMod->tblFAOTbl11});
}

} // namespace quen::cropprog
