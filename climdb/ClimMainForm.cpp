#include "ClimMainForm.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Help.h"
#include "Placement.h"

namespace quen::climprog {

TMainForm* MainForm = nullptr;

QStringList TAboutClimBox::lines()
{
    return {QStringLiteral("Climate Database Management Program"),
            QStringLiteral("Version 1.1"),
            QString(),
            QStringLiteral("The climate data serve the methods of:"),
            QStringLiteral("National Engineering Handbook, Part 623, Chapter 2, Irrigation Water Requirements"),
            QStringLiteral("FAO Irrigation and Drainage Paper 56, \"Crop Evapotranspiration\""),
            QStringLiteral("ASCE, The ASCE Standardized Reference Evapotranspiration Equation"),
            QStringLiteral("Technical Release No 21 (TR21), Irrigation Water Requirements")};
}

TAboutClimBox::TAboutClimBox(QWidget* parent)
    : TAboutDialog(QStringLiteral("About Quen Climate DB Management"), TMainForm::applicationTitle(), lines(), parent)
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
    setObjectName(QStringLiteral("ClimMainForm"));
    setWindowTitle(QStringLiteral("Quen, Penman-Monteith (Quenpm) Climate Database"));
    setHelpContext(this, 19201);   // F1 anywhere in the window
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
    auto* h2 = new QLabel(QStringLiteral("Climate Database"), central);
    h2->setObjectName(QStringLiteral("SubHeadingLabel"));
    QFont f2 = h2->font();
    f2.setPointSizeF(f2.pointSizeF() * 1.4);
    f2.setBold(true);
    h2->setFont(f2);
    h2->setAlignment(Qt::AlignCenter);
    v->addWidget(h1);
    v->addWidget(h2);
    v->addSpacing(8);

    GetDataGroup = new QGroupBox(QStringLiteral("Get temperature and precipitation data to database"), central);
    GetDataGroup->setObjectName(QStringLiteral("GetDataGroup"));
    auto* gv = new QVBoxLayout(GetDataGroup);
    StateFileBtn = makeButton(QStringLiteral("StateFileBtn"),
                              QStringLiteral("New State From (Temperature/Precipitation) State Data Store to DB"), GetDataGroup);
    DownloadBtn = makeButton(QStringLiteral("DownloadBtn"),
                             QStringLiteral("New or add  (Temperature/Precipitation] Korrin downloaded data to DB"), GetDataGroup);
    gv->addWidget(StateFileBtn);
    gv->addWidget(DownloadBtn);
    v->addWidget(GetDataGroup);

    EditGroup = new QGroupBox(QStringLiteral("Edit database"), central);
    EditGroup->setObjectName(QStringLiteral("EditGroup"));
    auto* ev = new QVBoxLayout(EditGroup);
    EditClimBtn = makeButton(QStringLiteral("EditClimBtn"), QStringLiteral("Edit Climate [Temperature/Precipitation] DB"), EditGroup);
    EditWHRBtn = makeButton(QStringLiteral("EditWHRBtn"), QStringLiteral("Edit Wind/Humidity/Radiation DB"), EditGroup);
    ev->addWidget(EditClimBtn);
    ev->addWidget(EditWHRBtn);
    HelpBtn = makeButton(QStringLiteral("HelpBtn"), QStringLiteral("&Help"), EditGroup);
    AboutBtn = makeButton(QStringLiteral("AboutBtn"), QStringLiteral("&About Program"), EditGroup);
    CloseBtn = makeButton(QStringLiteral("CloseBtn"), QStringLiteral("Close"), EditGroup);
    auto* h = new QHBoxLayout;
    h->addWidget(HelpBtn);
    h->addWidget(AboutBtn);
    h->addStretch();
    h->addWidget(CloseBtn);
    ev->addLayout(h);
    v->addWidget(EditGroup);
    v->addStretch();

    connect(HelpBtn, &QPushButton::clicked, this, &TMainForm::HelpBtnClick);
    connect(AboutBtn, &QPushButton::clicked, this, &TMainForm::AboutBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QWidget::close);
    connect(StateFileBtn, &QPushButton::clicked, this, &TMainForm::StateFileBtnClick);
    connect(DownloadBtn, &QPushButton::clicked, this, &TMainForm::DownloadBtnClick);
    connect(EditClimBtn, &QPushButton::clicked, this, &TMainForm::EditClimBtnClick);
    connect(EditWHRBtn, &QPushButton::clicked, this, &TMainForm::EditWHRBtnClick);

    // The imports and editors come with their windows.
    for (QPushButton* b : {StateFileBtn, DownloadBtn, EditClimBtn, EditWHRBtn}) b->setEnabled(false);

    resize(620, 420);
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
    TAboutClimBox box(this);
    box.exec();
}

void TMainForm::StateFileBtnClick() {}
void TMainForm::DownloadBtnClick() {}
void TMainForm::EditClimBtnClick() {}
void TMainForm::EditWHRBtnClick() {}

} // namespace quen::climprog
