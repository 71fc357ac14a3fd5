// QuenpmClim2, the climate database program.
#include "Application.h"
#include "ClimProgram.h"

int main(int argc, char** argv)
{
    return quen::runProgram<quen::climprog::TClimProgram>(argc, argv, QStringLiteral("QuenpmClim2"));
}
