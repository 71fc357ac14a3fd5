#include "SelCoForm.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ClimDBForm.h"
#include "ClimDMod.h"
#include "ClimImport.h"
#include "ClimModal.h"
#include "Help.h"
#include "Hourglass.h"
#include "MessageService.h"

namespace quen::climprog {

std::function<void(QWidget*)> TSelCoForm::openStationEditor = [](QWidget* parent) {
    TClimDBForm form(parent);
    runClimDialog(form);
};

TSelCoForm::TSelCoForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SelCoForm"));
    setWindowTitle(QStringLiteral("Select Counties"));
    setHelpContext(this, 19205);
    AvailableList = new QListWidget(this);
    AvailableList->setObjectName(QStringLiteral("AvailableList"));
    AvailableList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    AvailableList->setSortingEnabled(true);
    SelectedList = new QListWidget(this);
    SelectedList->setObjectName(QStringLiteral("SelectedList"));
    SelectedList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SelectedList->setSortingEnabled(true);
    auto button = [this](const QString& text, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    MoveBtn = button(QStringLiteral(">"), "MoveBtn");
    MoveAllBtn = button(QStringLiteral(">>"), "MoveAllBtn");
    BackBtn = button(QStringLiteral("<"), "BackBtn");
    BackAllBtn = button(QStringLiteral("<<"), "BackAllBtn");
    ContinueBtn = button(QStringLiteral("Continue"), "ContinueBtn");
    CancelBtn = button(QStringLiteral("Cancel"), "CancelBtn");
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->hide();

    auto* g = new QGridLayout(this);
    g->addWidget(new QLabel(QStringLiteral("Available Counties"), this), 0, 0);
    g->addWidget(new QLabel(QStringLiteral("Selected Counties For Database"), this), 0, 2);
    g->addWidget(AvailableList, 1, 0);
    auto* mid = new QVBoxLayout;
    mid->addStretch();
    for (QPushButton* b : {MoveBtn, MoveAllBtn, BackBtn, BackAllBtn})
        mid->addWidget(b);
    mid->addStretch();
    g->addLayout(mid, 1, 1);
    g->addWidget(SelectedList, 1, 2);
    g->addWidget(ProgressBar, 2, 0, 1, 3);
    auto* h = new QHBoxLayout;
    h->addStretch();
    h->addWidget(ContinueBtn);
    h->addWidget(CancelBtn);
    g->addLayout(h, 3, 0, 1, 3);
    connect(MoveBtn, &QPushButton::clicked, this, &TSelCoForm::MoveBtnClick);
    connect(MoveAllBtn, &QPushButton::clicked, this, &TSelCoForm::MoveAllBtnClick);
    connect(BackBtn, &QPushButton::clicked, this, &TSelCoForm::BackBtnClick);
    connect(BackAllBtn, &QPushButton::clicked, this, &TSelCoForm::BackAllBtnClick);
    connect(ContinueBtn, &QPushButton::clicked, this, &TSelCoForm::ContinueBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TSelCoForm::CancelBtnClick);
    resetButtons();
    // Enter moves between fields; it never presses a button of the window.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    resize(560, 420);
}

namespace {
void moveItems(QListWidget* from, QListWidget* to, bool all)
{
    const QList<QListWidgetItem*> items = all ? from->findItems(QStringLiteral("*"), Qt::MatchWildcard) : from->selectedItems();
    for (QListWidgetItem* it : items)
        to->addItem(from->takeItem(from->row(it)));
}
QStringList texts(QListWidget* l)
{
    QStringList out;
    for (int i = 0; i < l->count(); ++i)
        out << l->item(i)->text();
    return out;
}
} // namespace

void TSelCoForm::resetButtons()
{
    MoveBtn->setEnabled(true);
    MoveAllBtn->setEnabled(true);
    BackBtn->setEnabled(false);
    BackAllBtn->setEnabled(false);
}

void TSelCoForm::MoveBtnClick()
{
    moveItems(AvailableList, SelectedList, false);
    BackBtn->setEnabled(true);
    BackAllBtn->setEnabled(true);
}

void TSelCoForm::MoveAllBtnClick()
{
    moveItems(AvailableList, SelectedList, true);
    MoveBtn->setEnabled(false);
    MoveAllBtn->setEnabled(false);
    BackBtn->setEnabled(true);
    BackAllBtn->setEnabled(true);
}

void TSelCoForm::BackBtnClick()
{
    moveItems(SelectedList, AvailableList, false);
    MoveBtn->setEnabled(true);
    MoveAllBtn->setEnabled(true);
}

void TSelCoForm::BackAllBtnClick()
{
    moveItems(SelectedList, AvailableList, true);
    resetButtons();
}

void TSelCoForm::ContinueBtnClick()
{
    ProgressBar->show();
    ProgressBar->setRange(0, 0);
    const bool add = DMod->AddToExisting;
    QStringList selected = texts(SelectedList);
    QStringList replaced;
    if (add)
        askWhichToReplace(selected, replaced);
    if (selected.isEmpty()) {
        ProgressBar->hide();
        showInfo(QStringLiteral("There are no selected counties!"));
        reject();
        return;
    }
    TImportOutcome done;
    {
        THourglass wait;
        done = runCountyLoad(QDir(m_dir).filePath(QStringLiteral("TmpTP.txt")), selected, add, replaced);
    }
    m_result = done.stations;
    if (done.stations < 0)
        showError(done.error);
    showLoadDone();
    accept();
    openStationEditor(parentWidget());
}

// Each selected county that the list already holds: Yes replaces it, No
// takes it out of the selection and back to the available counties.
void TSelCoForm::askWhichToReplace(QStringList& selected, QStringList& replaced)
{
    for (const QString& c : countiesListed(texts(SelectedList))) {
        if (askYesNo(QStringLiteral("There is already a county named ") + c + QStringLiteral(". Replace it?"))) {
            replaced << c;
        } else {
            selected.removeAll(c);
            for (QListWidgetItem* it : SelectedList->findItems(c, Qt::MatchExactly))
                AvailableList->addItem(SelectedList->takeItem(SelectedList->row(it)));
        }
    }
}

// The window after the load: the bar full and hidden, the selection empty,
// the station and county tables closed.
void TSelCoForm::showLoadDone()
{
    ProgressBar->setRange(0, 1);
    ProgressBar->setValue(1);
    SelectedList->clear();
    resetButtons();
    ProgressBar->hide();
    DMod->tblClim->close();
    DMod->tblCounty->close();
}

void TSelCoForm::CancelBtnClick() { reject(); }

} // namespace quen::climprog
