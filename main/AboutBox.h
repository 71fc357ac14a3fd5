// TAboutBox: the about box of the main program.
#pragma once

#include "AboutDialog.h"

namespace quen::mainprog {

class TAboutBox : public TAboutDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    static QString programTitle() { return QStringLiteral("(Quenpm) Quen, Peman-Monteith"); }
    static QStringList lines();
};

} // namespace quen::mainprog
