// Start-up of QuenpmCrop: help file and application title, the main window,
// then the data module DMod.
#pragma once

#include <memory>

#include "CropDMod.h"
#include "MainForm.h"

namespace quen::cropprog {

struct TCropProgram {
    TCropProgram();
    ~TCropProgram();
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TDMod> dmod;
};

} // namespace quen::cropprog
