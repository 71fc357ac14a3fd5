// TNotImplForm ("Not Implemented"): says that a report is not in this version.
#pragma once

#include <QDialog>

class QPushButton;

namespace quen::mainprog {

class TNotImplForm : public QDialog {
    Q_OBJECT
public:
    explicit TNotImplForm(QWidget* parent = nullptr);
    QPushButton* CloseBtn;
};

} // namespace quen::mainprog
