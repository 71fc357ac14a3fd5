#include "ClimProgram.h"

#include "Application.h"
#include "Help.h"

namespace quen::climprog {

TClimProgram::TClimProgram()
{
    setHelpFile(QStringLiteral("Quenpm.Hlp"));
    quen::setApplicationTitle(TMainForm::applicationTitle());
    form = std::make_unique<TMainForm>();
    dmod = std::make_unique<TDMod>();
    selDir = std::make_unique<TSelDirForm>(form.get());
}

TClimProgram::~TClimProgram()
{
    selDir.reset();
    form.reset();
    dmod.reset();
}

} // namespace quen::climprog
