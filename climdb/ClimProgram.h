// Start-up of QuenpmClim2: help file and application title, the main window,
// the data module DMod, then the directory selection window of the report
// import, which is kept for the whole run.
#pragma once

#include <memory>

#include "ClimDMod.h"
#include "MainForm.h"
#include "SelDirForm.h"

namespace quen::climprog {

struct TClimProgram {
    TClimProgram();
    ~TClimProgram();
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TDMod> dmod;
    std::unique_ptr<TSelDirForm> selDir;
};

} // namespace quen::climprog
