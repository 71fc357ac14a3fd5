// TETMethodDlg "Select ET Computation Method": the chooser that the
// engine's ET method choice asks when the system default allows several.
// Shown through execModal (ModalRun.h) so that tests can drive it.
#pragma once

#include <QDialog>

#include "EtMethod.h"

class QPushButton;
class QRadioButton;

namespace quen::mainprog {

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
