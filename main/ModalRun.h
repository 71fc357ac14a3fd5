// How the main program's dialogs are shown modally. execModal(dlg) runs the
// dialog's own exec(); a test installs a driver instead, which receives the
// dialog (built and filled as for the user), acts on its controls, and
// returns the result, so no test ever waits on a modal window.
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

} // namespace quen::mainprog
