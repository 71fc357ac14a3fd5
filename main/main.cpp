// Quenpm, the main program: jobs, crops, the computation, output and reports.
#include "Application.h"
#include "MessageBoxes.h"
#include "Program.h"

int main(int argc, char** argv)
{
    quen::TQuenApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenpm"));
    quen::installMessageBoxes();
    quen::mainprog::TMainProgram program;
    program.form->show();
    return app.exec();
}
