// TFAO56tbl12DBdlg "FAO 56, Table 12 DB input" over "CrpFAO56Tbl.db": the
// Table 12 crops, their Kc values and maximum heights.
#pragma once

#include <QDialog>

#include "CurveEditorBase.h"

namespace quen::cropprog {

class TFAO56tbl12DBdlg : public QDialog {
    Q_OBJECT
public:
    explicit TFAO56tbl12DBdlg(QWidget* parent = nullptr);
    TDBGrid* CropGrid;
    TDBEdit *CropNameEdit, *CropDescripEdit;
    TDBNumEdit *KciniEdit, *KcmidEdit, *KcendEdit, *MaxHeightMEdit, *MaxHeightFEdit;
    TDBNavigator* Navigator;
    QPushButton *ListBtn, *CloseBtn, *CancelBtn, *HelpBtn;
    void FormShow();
    void FormClose();
    void MaxHeightMExit();
    void MaxHeightFExit();
protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;
private:
    bool m_shown = false, m_closed = false;
};

} // namespace quen::cropprog
