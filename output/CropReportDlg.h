// TCropReportDlg, "Print Crop Report": the user picks the crop of the open
// job that a single-crop report is printed for. The grid shows "Crop Name"
// of the working crops (datQuenWkCrop); choosing a row moves the working-crop
// table to it. OK (or a double click) makes that crop the context's crop;
// Cancel leaves the context as it was.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quen {

struct CropRunContext;
class TDBGrid;

class TCropReportDlg : public QDialog {
    Q_OBJECT
public:
    explicit TCropReportDlg(CropRunContext& ctx, QWidget* parent = nullptr);

    QLabel* SelectLabel;
    TDBGrid* CropDBGrid;
    QPushButton* OKBitBtn1;
    QPushButton* CancelBitBtn2;

    // Set by Cancel (and by closing the window), cleared by OK.
    bool ReportCancelled = true;

public slots:
    void OKBitBtn1Click();
    void CancelBitBtn2Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    CropRunContext& m_ctx;
};

} // namespace quen
