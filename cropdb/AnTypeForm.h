// TAnTypeForm: the annual crop types (growth-stage fractions) over
// "CrpAnTyp.db".
#pragma once

#include "PlainTableForm.h"

namespace quen::cropprog {

class TAnTypeForm : public TPlainTableForm {
    Q_OBJECT
public:
    explicit TAnTypeForm(QWidget* parent = nullptr);
};

} // namespace quen::cropprog
