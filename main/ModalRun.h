// Modal showing of the crop and defaults dialogs. runModal(d) shows d
// modally; a test puts a driver into TModal<D>::hook, and runModal then shows
// the dialog without a modal loop and lets the driver act on it as a user
// would (the driver ends it with OK, Cancel or the close box).
#pragma once

#include <QDialog>
#include <functional>

namespace quen::mainprog {

template <class D>
struct TModal {
    static inline std::function<void(D&)> hook;
};

template <class D>
int runModal(D& dlg)
{
    if (TModal<D>::hook) {
        dlg.show();
        TModal<D>::hook(dlg);
        if (dlg.isVisible()) dlg.close();
        return dlg.result();
    }
    return dlg.exec();
}

} // namespace quen::mainprog
