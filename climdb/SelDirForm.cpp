#include "SelDirForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ClimDMod.h"
#include "CountyDownload.h"
#include "ClimModal.h"
#include "Hourglass.h"
#include "Help.h"
#include "MessageService.h"

namespace quen::climprog {

TSelDirForm* SelDirForm = nullptr;

std::function<void(TSelCoForm&)> TSelDirForm::showCountyWindow = [](TSelCoForm& form) { runClimDialog(form); };

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

void TSelDirForm::FormActivate()
{
    // The folder may have changed since the window was last shown.
    if (!m_dir.isEmpty()) setDirectory(m_dir);
    ProgressBar->setValue(0);
    AddCheckBox->setChecked(true);
    if (DMod) DMod->AddToExisting = true;
}

void TSelDirForm::AddCheckBoxClick()
{
    if (!AddCheckBox->isChecked()
        && !askYesNo(QStringLiteral("The entire existing climate database will be deleted. Is that what you want?")))
        AddCheckBox->setChecked(true);
    if (DMod) DMod->AddToExisting = AddCheckBox->isChecked();
}

void TSelDirForm::OKBtnClick()
{
    if (m_dir.isEmpty()) return;
    const QDir dir(m_dir);
    DMod->AddToExisting = AddCheckBox->isChecked();
    TTable* down = DMod->tblDownCnty;
    TTable* names = DMod->tblStaList;
    down->emptyTable();
    QFile::remove(dir.filePath(QStringLiteral("TmpTP.txt")));
    names->emptyTable();
    m_run.writtenNames.clear();
    m_selCo = std::make_unique<TSelCoForm>(parentWidget());
    m_selCo->setWorkDirectory(m_dir);

    QStringList files;
    for (int i = 0; i < FileListBox->count(); ++i)
        if (isCountyReportName(FileListBox->item(i)->text())) files << FileListBox->item(i)->text();
    ProgressBar->setRange(0, qMax(1, int(files.size())));
    ProgressBar->setValue(0);
    down->open();
    names->open();
    const QStringList counties = convertDownloadedReports(dir, files, m_run, *names, *down,
                                                          [this](int done) { ProgressBar->setValue(done); });
    m_selCo->AvailableList->addItems(counties);
    down->close();
    names->close();
    QDir::setCurrent(m_dir);
    showCountyWindow(*m_selCo);
    accept();
}

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
