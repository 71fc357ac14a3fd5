// TQuenApplication: the application object of the three programs.
//
// Every event is delivered through notify(); an exception that escapes an
// event handler (a quen::DbError from a table handle, or any other
// std::exception) is caught here and shown as the standard exception
// message (an error box with the exception's text), after which the event
// loop simply goes on. The application also installs the help key filter
// (F1 opens the help topic of the focused control).
#pragma once

#include <QApplication>
#include <exception>

namespace quen {

// The application title ("(Quenpm) Quen, Peman-Monteith"): the caption of
// message boxes shown without a caption of their own.
void setApplicationTitle(const QString& title);
QString applicationTitle();

class TQuenApplication : public QApplication {
    Q_OBJECT
public:
    TQuenApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The standard exception message: an error box with the text of e.
    static void showException(const std::exception& e);
};

} // namespace quen
