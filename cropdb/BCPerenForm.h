// TBCPerenForm: the Blaney-Criddle (TR21) Kc by calendar date over
// "CrpBCPer.DB".
#pragma once

#include "PlainTableForm.h"

namespace quen::cropprog {

class TBCPerenForm : public TPlainTableForm {
    Q_OBJECT
public:
    explicit TBCPerenForm(QWidget* parent = nullptr);
    static QStringList valueFields();
};

} // namespace quen::cropprog
