// QuenpmCrop, the crop database program.
#include "Application.h"
#include "Database.h"
#include "CropProgram.h"
#include "MessageBoxes.h"
#include "MessageService.h"

int main(int argc, char** argv)
{
    quen::TQuenApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuenpmCrop"));
    quen::installMessageBoxes();
    // The database of the alias Quenpm, opened (created when missing) before
    // any window reads a table.
    try {
        quen::Database::open();
    } catch (const quen::DbError& e) {
        quen::showError(e.message());
        return 1;
    }
    quen::cropprog::TCropProgram program;
    program.form->show();
    return app.exec();
}
