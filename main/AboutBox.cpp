#include "AboutBox.h"

namespace quen::mainprog {

QStringList TAboutBox::lines()
{
    return {QStringLiteral("Main Program"),
            QStringLiteral("FAO Penman-Monteith"),
            QStringLiteral("(Quenpm)"),
            QStringLiteral("Version 1.1, October 15, 2005"),
            QString(),
            QStringLiteral("The computations follow:"),
            QStringLiteral("National Engineering Handbook, Part 623, Chapter 2, Irrigation Water Requirements, September 1993"),
            QStringLiteral("FAO Irrigation and Drainage Paper 56, \"Crop Evapotranspiration\", 1998"),
            QStringLiteral("ASCE, The ASCE Standardized Reference Evapotranspiration Equation, January 2005"),
            QStringLiteral("Technical Release No 21, Irrigation Water Requirements, April 1967"),
            QString(),
            QStringLiteral("Please submit a job detailed report  \"*.QRP\"  file with bug reports")};
}

TAboutBox::TAboutBox(QWidget* parent)
    : TAboutDialog(QStringLiteral("About Quenpm"), programTitle(), lines(), parent)
{
}

} // namespace quen::mainprog
