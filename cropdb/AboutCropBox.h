// TAboutCropBox: the about box of the crop database program.
#pragma once

#include "AboutDialog.h"

namespace quen::cropprog {

class TAboutCropBox : public TAboutDialog {
    Q_OBJECT
public:
    explicit TAboutCropBox(QWidget* parent = nullptr);
    static QStringList lines();
};

} // namespace quen::cropprog
