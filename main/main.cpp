// Quenpm, the main program: jobs, crops, the computation, output and reports.
#include "Application.h"
#include "Database.h"
#include "MessageBoxes.h"
#include "MessageService.h"
#include "Program.h"

int main(int argc, char** argv)
{
    quen::TQuenApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenpm"));
    quen::installMessageBoxes();
    // The database of the alias Quenpm, opened (created when missing) before
    // any window reads a table.
    try {
        quen::Database::open();
    } catch (const quen::DbError& e) {
        quen::showError(e.message());
        return 1;
    }
    quen::mainprog::TMainProgram program;
    program.form->show();
    return app.exec();
}
