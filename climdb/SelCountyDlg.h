// TSelCountyDlg "Select County": the county list with OK and Cancel, from
// which the climate station editor TClimDBForm filters its stations.
#pragma once

#include <QDialog>

class QPushButton;

namespace quen {
class TDBGrid;
}

namespace quen::climprog {

class TSelCountyDlg : public QDialog {
    Q_OBJECT
public:
    explicit TSelCountyDlg(QWidget* parent = nullptr);
    TDBGrid* CountyGrid;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    // The county of the highlighted row; empty when none.
    QString selectedCounty() const;
};

} // namespace quen::climprog
