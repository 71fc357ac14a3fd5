#include "AboutCropBox.h"

#include "MainForm.h"

namespace quen::cropprog {

QStringList TAboutCropBox::lines()
{
    return QStringList{QStringLiteral("QuenpmCrop Version 1.1"),
            QStringLiteral("Crop Database Management  Program"),
            QString(),
            QStringLiteral("The crop curves and coefficients follow:")}
           + publicationLines();
}

TAboutCropBox::TAboutCropBox(QWidget* parent)
    : TAboutDialog(QStringLiteral("About Quen Crop DB Management"), TMainForm::applicationTitle(), lines(), parent)
{
}

} // namespace quen::cropprog
