// QuenpmCrop, the crop database program.
#include "Application.h"
#include "CropProgram.h"

int main(int argc, char** argv)
{
    return quen::runProgram<quen::cropprog::TCropProgram>(argc, argv, QStringLiteral("QuenpmCrop"));
}
