// TSaveForm "Save Job?", the prompt to save the open job before it is left.
// Shown through execModal (ModalRun.h) so that tests can drive it.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quen::mainprog {

class TSaveForm : public QDialog {
    Q_OBJECT
public:
    TSaveForm(const QString& jobName, QWidget* parent = nullptr);
    QLabel* JobLabel;       // "Job: " + name
    QPushButton* OKBtn;     // runs Save Job (accept)
    QPushButton* NoBtn;     // closes without saving (reject)
};

} // namespace quen::mainprog
