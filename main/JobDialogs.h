// The dialogs of the job lifecycle and the station choice:
//  - TSaveForm "Save Job?", the save prompt;
//  - TJobListForm "Select Existing Job to View or Edit", the saved jobs;
//  - TRemoveJobsDlg "Remove Jobs", deleting saved jobs;
//  - TGetClimDlg "Get Climate Station", county then station;
//  - TETMethodDlg "Select ET Computation Method", the chooser that the
//    engine's ET method choice asks when the system default allows several.
// Each is shown through execModal (ModalRun.h) so that tests can drive it.
#pragma once

#include <QDialog>

#include "CropRunContext.h"
#include "EtMethod.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace quen {
class TDBGrid;
class TTable;
}

namespace quen::mainprog {

// A "&Help" button that opens topic context.
QPushButton* makeHelpButton(QWidget* parent, int context);

class TSaveForm : public QDialog {
    Q_OBJECT
public:
    TSaveForm(const QString& jobName, QWidget* parent = nullptr);
    QLabel* JobLabel;       // "Job: " + name
    QPushButton* OKBtn;     // runs Save Job (accept)
    QPushButton* NoBtn;     // closes without saving (reject)
};

class TJobListForm : public QDialog {
    Q_OBJECT
public:
    // Over DMod's "QuenJob.db" handle, which the caller opens.
    explicit TJobListForm(CropRunContext& ctx, QWidget* parent = nullptr);
    TDBGrid* JobGrid;
    QLabel* JobNameText;
    QLabel* LocationText;
    QLabel* PlannerText;
    QLabel* DateText;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

public slots:
    void OKBtnClick();       // job name into the context, close
    void CancelBtnClick();   // empty job name, close

private:
    void showCurrent();
    CropRunContext& m_ctx;
};

class TRemoveJobsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TRemoveJobsDlg(QWidget* parent = nullptr);
    ~TRemoveJobsDlg() override;
    TDBGrid* JobGrid;
    QLabel* JobNameText;
    QLabel* DateText;
    QLabel* LocationText;
    QLabel* PlannerText;
    QPushButton* HelpBtn;
    QPushButton* DeleteBtn;
    QPushButton* ReturnBtn;
    QPushButton* CancelBtn;

    // "JobNumber" and "JobName" of each job deleted while the dialog was open.
    QList<QPair<int, QString>> deleted;

public slots:
    void DeleteBtnClick();
    void FormShow();        // opens "QuenJob.db" and "QuenJobCrop.DB"
    void FormClose();       // closes both

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    void showCurrent();
    bool m_opened = false;
};

class TGetClimDlg : public QDialog {
    Q_OBJECT
public:
    // Over DMod's "County.db" and (county-filtered) "Climate.DB" handles,
    // which the caller opens.
    explicit TGetClimDlg(QWidget* parent = nullptr);
    TDBGrid* CountyDBGrid;
    TDBGrid* SelectedStaDBGrid;
    QLabel* StationNameText;   // "Station Name" of the current station
    QPushButton* HelpBtn;
    QPushButton* btnOK;

private:
    void showCurrent();
};

// The ET method dialog and the chooser the engine asks.
class TETMethodDlg : public QDialog, public EtMethodChooser {
    Q_OBJECT
public:
    explicit TETMethodDlg(QWidget* parent = nullptr);
    QRadioButton* NehChoice;     // "FAO Penman-Monteith method, NEH 2, Bas crop curves"
    QRadioButton* Fao56Choice;   // "FAO Penman-Monteith method, FAO 56, Table 12 curves"
    QRadioButton* TR21Choice;    // "Blaney Criddle (TR21) method"
    QPushButton* OKBtn;
    QPushButton* HelpBtn;

    // Enables the choices the system default allows.
    void FormShow(const QString& systemCode);
    // The index of the checked choice (2, 3, 1), or 0 when none is checked;
    // sets the crop-kind filter of the crop selection for it.
    int FormClose();

    std::optional<int> chooseEtMethod(const QString& systemCode, int currentIndex) override;
};

} // namespace quen::mainprog
