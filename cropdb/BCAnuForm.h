// TBCAnuForm: the Blaney-Criddle (TR21) Kc by percent of season over
// "CrpBCAnu.DB".
#pragma once

#include "PlainTableForm.h"

namespace quen::cropprog {

class TBCAnuForm : public TPlainTableForm {
    Q_OBJECT
public:
    explicit TBCAnuForm(QWidget* parent = nullptr);
    static QStringList valueFields();
};

} // namespace quen::cropprog
