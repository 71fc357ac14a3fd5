#include "ModalRun.h"

namespace quen::mainprog {

namespace {
ModalDriver& driver()
{
    static ModalDriver d;
    return d;
}
} // namespace

ModalDriver setModalDriver(ModalDriver d)
{
    ModalDriver previous = std::move(driver());
    driver() = std::move(d);
    return previous;
}

int execModal(QDialog& dlg)
{
    if (driver()) {
        // The driver may install another one while it runs (nested dialogs).
        ModalDriver d = driver();
        return d(dlg);
    }
    return dlg.exec();
}

} // namespace quen::mainprog
