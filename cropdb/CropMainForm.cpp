#include "CropMainForm.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Help.h"
#include "Placement.h"

namespace quen::cropprog {

TMainForm* MainForm = nullptr;

QStringList TAboutCropBox::lines()
{
    return {QStringLiteral("QuenpmCrop Version 1.1"),
            QStringLiteral("Crop Database Management  Program"),
            QString(),
            QStringLiteral("The crop curves and coefficients follow:"),
            QStringLiteral("National Engineering Handbook, Part 623, Chapter 2, Irrigation Water Requirements"),
            QStringLiteral("FAO Irrigation and Drainage Paper 56, \"Crop Evapotranspiration\""),
            QStringLiteral("ASCE, The ASCE Standardized Reference Evapotranspiration Equation"),
            QStringLiteral("Technical Release No 21 (TR21), Irrigation Water Requirements")};
}

TAboutCropBox::TAboutCropBox(QWidget* parent)
    : TAboutDialog(QStringLiteral("About Quen Crop DB Management"), TMainForm::applicationTitle(), lines(), parent)
{
}

static QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setMinimumHeight(30);
    return b;
}

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    MainForm = this;
    setObjectName(QStringLiteral("CropMainForm"));
    setWindowTitle(QStringLiteral("Quen Crops Databases"));
    setHelpContext(this, 19101);   // F1 anywhere in the window
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(16, 12, 16, 12);

    auto* h1 = new QLabel(QStringLiteral("Quen"), central);
    h1->setObjectName(QStringLiteral("HeadingLabel"));
    QFont f = h1->font();
    f.setPointSizeF(f.pointSizeF() * 2.4);
    f.setBold(true);
    h1->setFont(f);
    h1->setAlignment(Qt::AlignCenter);
    h1->setStyleSheet(QStringLiteral("color: navy;"));
    auto* h2 = new QLabel(QStringLiteral("Crop Database Maintenance Program"), central);
    h2->setObjectName(QStringLiteral("SubHeadingLabel"));
    QFont f2 = h2->font();
    f2.setPointSizeF(f2.pointSizeF() * 1.4);
    f2.setBold(true);
    h2->setFont(f2);
    h2->setAlignment(Qt::AlignCenter);
    v->addWidget(h1);
    v->addWidget(h2);
    v->addSpacing(8);

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

    HelpBtn = makeButton(QStringLiteral("HelpBtn"), QStringLiteral("&Help"), central);
    AboutBtn = makeButton(QStringLiteral("AboutBtn"), QStringLiteral("&About Program"), central);
    CloseBtn = makeButton(QStringLiteral("CloseBtn"), QStringLiteral("Close"), central);
    auto* h = new QHBoxLayout;
    h->addWidget(HelpBtn);
    h->addWidget(AboutBtn);
    h->addStretch();
    h->addWidget(CloseBtn);
    v->addLayout(h);

    connect(HelpBtn, &QPushButton::clicked, this, &TMainForm::HelpBtnClick);
    connect(AboutBtn, &QPushButton::clicked, this, &TMainForm::AboutBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QWidget::close);
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

    // The editors come with the crop records and curve editor windows.
    for (QPushButton* b : {CropDBBtn, BasFldVegBtn, BasPerenBtn, BasGrassBtn, BCAnnualBtn, BCPerenBtn,
                           AnTypeBtn, FAO56TblBtn, FAOCurvBtn, FAOTbl11Btn})
        b->setEnabled(false);

    resize(620, 460);
}

TMainForm::~TMainForm()
{
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!m_placed) {
        m_placed = true;
        fitWindowToScreen(this);
    }
}

void TMainForm::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TMainForm::FormActivate() { setHelpFile(QStringLiteral("Quenpm.HLP")); }

void TMainForm::HelpBtnClick() { showHelpContents(); }

void TMainForm::AboutBtnClick()
{
    TAboutCropBox box(this);
    box.exec();
}

void TMainForm::CropDBBtnClick() {}
void TMainForm::BasFldVegBtnClick() {}
void TMainForm::BasPerenBtnClick() {}
void TMainForm::BasGrassBtnClick() {}
void TMainForm::BCAnnualBtnClick() {}
void TMainForm::BCPerenBtnClick() {}
void TMainForm::AnTypeBtnClick() {}
void TMainForm::FAO56TblBtnClick() {}
void TMainForm::FAOCurvBtnClick() {}
void TMainForm::FAOTbl11BtnClick() {}

} // namespace quen::cropprog
