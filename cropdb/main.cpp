// QuenpmCrop, the crop database program.
#include "Application.h"
#include "CropProgram.h"
#include "MessageBoxes.h"

int main(int argc, char** argv)
{
    quen::TQuenApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuenpmCrop"));
    quen::installMessageBoxes();
    quen::cropprog::TCropProgram program;
    program.form->show();
    return app.exec();
}
