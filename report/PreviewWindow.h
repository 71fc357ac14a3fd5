// The preview window of every report: page navigation, zoom, printing,
// saving and opening QRP files, PDF export.
#pragma once

#include <QDialog>
#include <QImage>

#include "CsvExport.h"
#include "PreparedReport.h"

class QAction;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;

namespace quen::report {

class PageView;

class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    enum class Zoom { FitWidth, FitPage, Actual };

    explicit PreviewWindow(PreparedReport rep, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    const PreparedReport& report() const { return m_rep; }
    int pageCount() const { return m_rep.pageCount(); }
    int currentPage() const { return m_page; }     // 0-based
    void setPage(int index);
    Zoom zoom() const { return m_zoom; }
    void setZoom(Zoom z);
    double zoomDpi() const { return m_dpi; }       // resolution the page is shown at
    QImage pageImage() const { return m_image; }

    // The file actions without their file dialogs; failures are told to the
    // user through the message service and return false.
    bool saveTo(const QString& path);
    bool openFrom(const QString& path);
    bool exportPdfTo(const QString& path);
    bool printTo(QPrinter& printer);
    bool exportCsvTo(const QString& path);

    // The report's monthly table(s) for "Export CSV" (none: the action is off).
    void setCsvTables(const QList<CsvTable>& tables);
    const QList<CsvTable>& csvTables() const { return m_csv; }

    QAction* actionFirst() const { return m_first; }
    QAction* actionPrior() const { return m_prior; }
    QAction* actionNext() const { return m_next; }
    QAction* actionLast() const { return m_last; }
    QAction* actionFitWidth() const { return m_fitWidth; }
    QAction* actionFitPage() const { return m_fitPage; }
    QAction* actionActual() const { return m_actual; }
    QAction* actionPrint() const { return m_print; }
    QAction* actionSave() const { return m_save; }
    QAction* actionOpen() const { return m_open; }
    QAction* actionExportPdf() const { return m_export; }
    QAction* actionExportCsv() const { return m_exportCsv; }

public slots:
    void firstPage() { setPage(0); }
    void priorPage() { setPage(m_page - 1); }
    void nextPage() { setPage(m_page + 1); }
    void lastPage() { setPage(pageCount() - 1); }
    void print();       // standard print dialog
    void save();        // file dialog, then saveTo
    void open();        // file dialog, then openFrom
    void exportPdf();   // file dialog, then exportPdfTo
    void exportCsv();   // file dialog, then exportCsvTo

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void updateView();
    void updateActions();
    double screenDpi() const;

    PreparedReport m_rep;
    int m_page = 0;
    Zoom m_zoom = Zoom::FitWidth;
    double m_dpi = 72;
    QImage m_image;
    bool m_cursorPushed = false;

    QScrollArea* m_scroll = nullptr;
    PageView* m_view = nullptr;
    QSpinBox* m_pageBox = nullptr;
    QLabel* m_pageOf = nullptr;
    QAction* m_first = nullptr;
    QAction* m_prior = nullptr;
    QAction* m_next = nullptr;
    QAction* m_last = nullptr;
    QAction* m_fitWidth = nullptr;
    QAction* m_fitPage = nullptr;
    QAction* m_actual = nullptr;
    QAction* m_print = nullptr;
    QAction* m_save = nullptr;
    QAction* m_open = nullptr;
    QAction* m_export = nullptr;
    QAction* m_exportCsv = nullptr;
    QList<CsvTable> m_csv;
    QAction* m_close = nullptr;
};

// Shows prepared pages in a modal preview window; csv: the tables its
// "Export CSV" writes (none: the action is off).
void showPreview(const PreparedReport& rep, QWidget* parent = nullptr, const QList<CsvTable>& csv = {});

} // namespace quen::report
