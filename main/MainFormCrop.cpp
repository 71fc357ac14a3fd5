// The main window's crop commands (Add New Crop, Edit Crop) and the defaults
// commands of the Options menu.
#include "MainForm.h"

namespace quen::mainprog {

void TMainForm::AddCropBtnClick() {}
void TMainForm::EdCropBtnClick() {}
void TMainForm::SystemDefaultsClick() {}
void TMainForm::LocalDefaultsClick() {}

} // namespace quen::mainprog
