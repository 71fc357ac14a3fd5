// QuenpmClim2, the climate database program.
#include "Application.h"
#include "Database.h"
#include "ClimProgram.h"
#include "MessageBoxes.h"
#include "MessageService.h"

int main(int argc, char** argv)
{
    quen::TQuenApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuenpmClim2"));
    quen::installMessageBoxes();
    // The database of the alias Quenpm, opened (created when missing) before
    // any window reads a table.
    try {
        quen::Database::open();
    } catch (const quen::DbError& e) {
        quen::showError(e.message());
        return 1;
    }
    quen::climprog::TClimProgram program;
    program.form->show();
    return app.exec();
}
