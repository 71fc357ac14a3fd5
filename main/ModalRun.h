// How the main program's dialogs are shown modally. execModal(dlg) runs the
// dialog's own exec(); a test installs a driver instead, which receives the
// dialog (built and filled as for the user), acts on its controls, and
// returns the result, so no test ever waits on a modal window.
//
// runModal(d) does the same for one dialog class: a test puts a driver into
// TModal<D>::hook, and runModal then shows the dialog without a modal loop
// and lets the driver act on it as a user would (the driver ends it with OK,
// Cancel or the close box). Without a hook it goes through execModal.
#pragma once

#include <QDialog>
#include <functional>

namespace quen::mainprog {

using ModalDriver = std::function<int(QDialog&)>;

// Installs a driver (empty: the real exec) and returns the previous one.
ModalDriver setModalDriver(ModalDriver driver);

// Shows dlg modally (or hands it to the installed driver); returns the result.
int execModal(QDialog& dlg);

// Installs a driver for the life of the object.
class TModalDriverScope {
public:
    explicit TModalDriverScope(ModalDriver d) : m_previous(setModalDriver(std::move(d))) {}
    ~TModalDriverScope() { setModalDriver(std::move(m_previous)); }
    TModalDriverScope(const TModalDriverScope&) = delete;
    TModalDriverScope& operator=(const TModalDriverScope&) = delete;

private:
    ModalDriver m_previous;
};

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
    return execModal(dlg);
}

} // namespace quen::mainprog
