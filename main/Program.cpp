#include "Program.h"

#include "Application.h"
#include "Help.h"
#include "ModalRun.h"
#include "Outputs.h"

namespace quen::mainprog {

TMainProgram::TMainProgram()
{
    setHelpFile(QStringLiteral("Quenpm.Hlp"));
    quen::setApplicationTitle(applicationTitle());
    // The output windows go through the same modal driver as the main
    // program's own dialogs.
    output::setModalRunner([](QDialog& d) { return execModal(d); });
    form = std::make_unique<TMainForm>(ctx, job, curveState);
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
