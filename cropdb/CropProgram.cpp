#include "CropProgram.h"

#include "Application.h"
#include "Help.h"

namespace quen::cropprog {

TCropProgram::TCropProgram()
{
    setHelpFile(QStringLiteral("Quenpm.Hlp"));
    quen::setApplicationTitle(TMainForm::applicationTitle());
    form = std::make_unique<TMainForm>();
    dmod = std::make_unique<TDMod>();
}

TCropProgram::~TCropProgram()
{
    form.reset();
    dmod.reset();
}

} // namespace quen::cropprog
