#include "Program.h"

#include "Application.h"
#include "Help.h"

namespace quen::mainprog {

TMainProgram::TMainProgram()
{
    setHelpFile(QStringLiteral("Quenpm.Hlp"));
    quen::setApplicationTitle(applicationTitle());
    form = std::make_unique<TMainForm>(ctx, curveState);
    dmod = std::make_unique<TDMod>();
    waitDlg = std::make_unique<TWaitDlg>(ctx, form.get());
}

TMainProgram::~TMainProgram()
{
    waitDlg.reset();
    form.reset();
    dmod.reset();
}

} // namespace quen::mainprog
