#include "SelDirForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ClimDMod.h"
#include "Help.h"
#include "MessageService.h"

namespace quen::climprog {

TSelDirForm* SelDirForm = nullptr;

TSelDirForm::TSelDirForm(QWidget* parent) : QDialog(parent)
{
    SelDirForm = this;
    setObjectName(QStringLiteral("SelDirForm"));
    setWindowTitle(QStringLiteral("Select Directory Containing Temperature & Precipitation Text Files"));
    setHelpContext(this, 19205);
    auto* g = new QGridLayout(this);
    DriveComboBox = new QComboBox(this);
    DriveComboBox->setObjectName(QStringLiteral("DriveComboBox"));
    for (const QFileInfo& d : QDir::drives()) DriveComboBox->addItem(d.absolutePath());
    DirectoryListBox = new QListWidget(this);
    DirectoryListBox->setObjectName(QStringLiteral("DirectoryListBox"));
    FileListBox = new QListWidget(this);
    FileListBox->setObjectName(QStringLiteral("FileListBox"));
    DirLabel = new QLabel(this);
    DirLabel->setObjectName(QStringLiteral("DirLabel"));
    DirLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    DirLabel->setFrameShape(QFrame::StyledPanel);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setValue(0);
    AddCheckBox = new QCheckBox(QStringLiteral("Add to existing Climate DB"), this);
    AddCheckBox->setObjectName(QStringLiteral("AddCheckBox"));
    AddCheckBox->setChecked(true);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    g->addWidget(new QLabel(QStringLiteral("Drive:"), this), 0, 0);
    g->addWidget(DriveComboBox, 1, 0);
    g->addWidget(new QLabel(QStringLiteral("Directories:"), this), 2, 0);
    g->addWidget(DirectoryListBox, 3, 0);
    g->addWidget(new QLabel(QStringLiteral("Files (?????.txt):"), this), 2, 1);
    g->addWidget(FileListBox, 3, 1);
    g->addWidget(DirLabel, 4, 0, 1, 2);
    g->addWidget(ProgressBar, 5, 0, 1, 2);
    g->addWidget(AddCheckBox, 6, 0, 1, 2);
    auto* h = new QHBoxLayout;
    h->addStretch();
    h->addWidget(OKBtn);
    h->addWidget(CancelBtn);
    g->addLayout(h, 7, 0, 1, 2);

    connect(DriveComboBox, &QComboBox::textActivated, this, &TSelDirForm::setDirectory);
    connect(DirectoryListBox, &QListWidget::itemActivated, this, [this](QListWidgetItem* it) {
        setDirectory(QDir(m_dir).absoluteFilePath(it->text()));
    });
    connect(FileListBox, &QListWidget::itemDoubleClicked, this, &TSelDirForm::FileListBoxDblClick);
    connect(AddCheckBox, &QCheckBox::clicked, this, &TSelDirForm::AddCheckBoxClick);
    connect(OKBtn, &QPushButton::clicked, this, &TSelDirForm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TSelDirForm::CancelBtnClick);

    setDirectory(QDir::currentPath());
    resize(560, 420);
}

bool TSelDirForm::matchesMask(const QString& fileName)
{
    return fileName.size() == 9 && fileName.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive);
}

void TSelDirForm::setDirectory(const QString& dir)
{
    QDir d(dir);
    if (!d.exists()) return;
    m_dir = d.canonicalPath();
    DirLabel->setText(m_dir);
    DirectoryListBox->clear();
    if (!d.isRoot()) DirectoryListBox->addItem(QStringLiteral(".."));
    DirectoryListBox->addItems(d.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    FileListBox->clear();
    for (const QString& f : d.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase))
        if (matchesMask(f)) FileListBox->addItem(f);
}

void TSelDirForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FormActivate();
}

void TSelDirForm::FormActivate() { AddCheckBox->setChecked(true); }

void TSelDirForm::AddCheckBoxClick()
{
    if (!AddCheckBox->isChecked()
        && !askYesNo(QStringLiteral("The entire existing climate database will be deleted. Is that what you want?")))
        AddCheckBox->setChecked(true);
    if (DMod) DMod->AddToExisting = AddCheckBox->isChecked();
}

void TSelDirForm::OKBtnClick() {}

void TSelDirForm::FileListBoxDblClick() { OKBtnClick(); }

void TSelDirForm::CancelBtnClick()
{
    if (DMod) {
        DMod->tblClim->close();
        DMod->tblWHR->close();
        DMod->tblCounty->close();
    }
    reject();
}

} // namespace quen::climprog
