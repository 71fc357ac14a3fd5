#include "StateToDBForm.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ClimImport.h"
#include "Database.h"
#include "FileDialog.h"
#include "Help.h"
#include "Hourglass.h"
#include "MessageService.h"

namespace quen::climprog {

std::function<QString(QWidget*)> TStateToDBForm::chooseFile = [](QWidget* parent) {
    TFileDialog dlg(parent, QStringLiteral("Select State *.quen File"));
    dlg.setNameFilter(QStringLiteral("State files (*.quen)"));
    dlg.setDefaultSuffix(QStringLiteral("Quen"));
    dlg.selectFile(QStringLiteral("*.quen"));
    dlg.setFileMode(QFileDialog::ExistingFile);
    return dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty() ? dlg.selectedFiles().first() : QString();
};

TStateToDBForm::TStateToDBForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("StateToDBForm"));
    setWindowTitle(QStringLiteral("Save State To Database"));
    setHelpContext(this, 19204);
    SelectFileBtn = new QPushButton(QStringLiteral("Select State *.quen File"), this);
    SelectFileBtn->setObjectName(QStringLiteral("SelectFileBtn"));
    FileNameEdit = new QLineEdit(this);
    FileNameEdit->setObjectName(QStringLiteral("FileNameEdit"));
    FileNameEdit->setMaxLength(80);
    FileNameEdit->setReadOnly(true);
    FileViewer = new QPlainTextEdit(this);
    FileViewer->setObjectName(QStringLiteral("FileViewer"));
    FileViewer->setReadOnly(true);
    FileViewer->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    FileViewer->setFont(mono);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto* v = new QVBoxLayout(this);
    auto* h = new QHBoxLayout;
    h->addWidget(SelectFileBtn);
    h->addWidget(FileNameEdit, 1);
    v->addLayout(h);
    v->addWidget(FileViewer, 1);
    auto* b = new QHBoxLayout;
    b->addStretch();
    b->addWidget(OKBtn);
    b->addWidget(CancelBtn);
    v->addLayout(b);
    OKBtn->setEnabled(false);   // until a file is chosen
    connect(SelectFileBtn, &QPushButton::clicked, this, &TStateToDBForm::SelectFileBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &TStateToDBForm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TStateToDBForm::CancelBtnClick);
    // Enter moves between fields; it never presses a button of the window.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    resize(720, 520);
}

void TStateToDBForm::setFile(const QString& path)
{
    if (Database::isDatabaseFile(path)) {   // never read: that would drop the program's hold on it
        showError(TFileDialog::databaseFileText(path));
        return;
    }
    m_path = path;
    FileNameEdit->setText(path);
    OKBtn->setEnabled(!path.isEmpty());
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        // A large state file is shown in part; the import reads all of it.
        const QByteArray head = f.read(512 * 1024);
        QString text = QString::fromUtf8(head);
        if (!f.atEnd())
            text += QStringLiteral("\n...");
        FileViewer->setPlainText(text);
    } else {
        FileViewer->clear();
    }
}

void TStateToDBForm::SelectFileBtnClick()
{
    const QString path = chooseFile(this);
    if (!path.isEmpty())
        setFile(path);
}

void TStateToDBForm::OKBtnClick()
{
    if (!askYesNo(QStringLiteral("This will replace the existing climate database!  Are you sure you want to do this?"))) {
        showInfo(QStringLiteral("Changes not made!"));
        reject();
        return;
    }
    TImportOutcome done;
    {
        THourglass wait;
        done = runStateImport(m_path);
    }
    m_result = done.stations;
    if (done.stations < 0)
        showError(done.error);
    accept();
}

void TStateToDBForm::CancelBtnClick() { reject(); }

} // namespace quen::climprog
