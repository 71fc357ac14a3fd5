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

    // The start of every program: its application name, the message boxes
    // as the message service's face, and the database of the alias Quenpm
    // opened (created when missing) before any window reads a table. False,
    // with the database's message shown, when it cannot be opened.
    bool startProgram(const QString& programName);
};

// main() of a program: the application started (startProgram), the
// program object (its windows and data module) made, its form shown and the
// event loop run; 1 when the database cannot be opened.
template <class Program>
int runProgram(int& argc, char** argv, const QString& programName)
{
    TQuenApplication app(argc, argv);
    if (!app.startProgram(programName))
        return 1;
    Program program;
    program.form->show();
    return app.exec();
}

} // namespace quen
