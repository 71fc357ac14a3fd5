// QuenpmClim2, the climate database program.
#include "Application.h"
#include "ClimProgram.h"
#include "MessageBoxes.h"

int main(int argc, char** argv)
{
    quen::TQuenApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuenpmClim2"));
    quen::installMessageBoxes();
    quen::climprog::TClimProgram program;
    program.form->show();
    return app.exec();
}
