#include "AboutClimBox.h"

#include "MainForm.h"

namespace quen::climprog {

QStringList TAboutClimBox::lines()
{
    return QStringList{QStringLiteral("Climate Database Management Program"),
            QStringLiteral("Version 1.1"),
            QString(),
            QStringLiteral("The climate data serve the methods of:")}
           + publicationLines();
}

TAboutClimBox::TAboutClimBox(QWidget* parent)
    : TAboutDialog(QStringLiteral("About Quen Climate DB Management"), TMainForm::applicationTitle(), lines(), parent)
{
}

} // namespace quen::climprog
