// Quenpm, the main program: jobs, crops, the computation, output and reports.
#include "Application.h"
#include "Program.h"

int main(int argc, char** argv)
{
    return quen::runProgram<quen::mainprog::TMainProgram>(argc, argv, QStringLiteral("Quenpm"));
}
