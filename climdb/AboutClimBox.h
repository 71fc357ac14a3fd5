// TAboutClimBox: the about box of the climate database program.
#pragma once

#include "AboutDialog.h"

namespace quen::climprog {

class TAboutClimBox : public TAboutDialog {
    Q_OBJECT
public:
    explicit TAboutClimBox(QWidget* parent = nullptr);
    static QStringList lines();
};

} // namespace quen::climprog
