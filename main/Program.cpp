#include "Program.h"

#include "Application.h"
#include "DailyRun.h"
#include "Help.h"
#include "MainDMod.h"
#include "ModalRun.h"
#include "Outputdlg.h"
#include "Outputs.h"
#include "Table.h"

namespace quen::mainprog {

TMainProgram::TMainProgram()
{
    setHelpFile(QStringLiteral("Quenpm.Hlp"));
    quen::setApplicationTitle(applicationTitle());
    // The output windows go through the same modal driver as the main
    // program's own dialogs.
    output::setModalRunner([](QDialog& d) { return execModal(d); });
    // The output dialog's daily balance page: the crop the dialog shows, on
    // its working row.
    TOutputdlg::RunDaily = [](const CropRunContext& c, CropCurveState& curves, int year) {
        if (!DMod)
            return job::DailyRun{QStringLiteral("No daily balance: the working crops are not open.")};
        TTable& wk = *DMod->tblQuenWkCrop;
        if (!wk.isOpen())
            wk.open();
        if (wk.isEmpty() || wk.field(QStringLiteral("Crop Name")).asString() != c.CropName)
            wk.locate(QStringLiteral("Crop Name"), c.CropName);
        return job::RunDailyForCrop(c, curves, wk, year);
    };
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
