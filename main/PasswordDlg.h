// TPasswordDlg: asks the password that lets TDefSysDlg ("System Default
// Values") edit the system defaults.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quen::mainprog {

class TDefSysDlg;

class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPasswordDlg(TDefSysDlg* sysDlg, QWidget* parent = nullptr);

    QLineEdit* Password;
    QLabel* WrongLabel;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

public slots:
    void FormShow();
    void OKBtnClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    TDefSysDlg* m_sysDlg;
};

} // namespace quen::mainprog
