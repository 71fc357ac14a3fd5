// Start-up of Quenpm: the application title and help file, the main window,
// the data module DMod, the wait dialog; the computation context, the job
// state and the crop curve state live as long as the program. main() builds one
// TMainProgram, shows the window and runs the message loop; tests build one
// the same way.
#pragma once

#include <memory>

#include "CropRunContext.h"
#include "JobState.h"
#include "MainDMod.h"
#include "WaitDlg.h"
#include "MainForm.h"

namespace quen::mainprog {

struct TMainProgram {
    TMainProgram();
    ~TMainProgram();

    CropRunContext ctx;
    JobState job;
    CropCurveState curveState;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TDMod> dmod;
    std::unique_ptr<TWaitDlg> waitDlg;

    static QString applicationTitle() { return QStringLiteral("(Quenpm) Quen, Peman-Monteith"); }
};

} // namespace quen::mainprog
