#include "PreviewWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "Database.h"
#include "FileDialog.h"
#include "MessageService.h"
#include "QrpFile.h"
#include "Render.h"
#include "Report.h"

namespace quen::report {

class PageView : public QWidget {
public:
    explicit PageView(QWidget* parent) : QWidget(parent) {}
    void setImage(const QImage& img)
    {
        m_img = img;
        setFixedSize(img.width() + 2 * kBorder, img.height() + 2 * kBorder);
        update();
    }
    static constexpr int kBorder = 8;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Dark));
        if (m_img.isNull())
            return;
        p.fillRect(QRect(kBorder + 3, kBorder + 3, m_img.width(), m_img.height()), Qt::black);
        p.drawImage(kBorder, kBorder, m_img);
    }

private:
    QImage m_img;
};

PreviewWindow::PreviewWindow(PreparedReport rep, QWidget* parent) : QDialog(parent), m_rep(std::move(rep))
{
    setWindowTitle(m_rep.title.isEmpty() ? QStringLiteral("Print Preview")
                                         : QStringLiteral("Print Preview - ") + m_rep.title);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setCursor(Qt::ArrowCursor);

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto act = [&](const QString& text, const QKeySequence& key, auto slot) {
        QAction* a = bar->addAction(text);
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    m_first = act(QStringLiteral("First"), QKeySequence(Qt::CTRL | Qt::Key_Home), &PreviewWindow::firstPage);
    m_prior = act(QStringLiteral("Prior"), QKeySequence(Qt::Key_PageUp), &PreviewWindow::priorPage);
    m_pageBox = new QSpinBox(bar);
    m_pageBox->setMinimum(1);
    m_pageBox->setKeyboardTracking(false);
    bar->addWidget(m_pageBox);
    m_pageOf = new QLabel(bar);
    bar->addWidget(m_pageOf);
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int v) { setPage(v - 1); });
    m_next = act(QStringLiteral("Next"), QKeySequence(Qt::Key_PageDown), &PreviewWindow::nextPage);
    m_last = act(QStringLiteral("Last"), QKeySequence(Qt::CTRL | Qt::Key_End), &PreviewWindow::lastPage);
    bar->addSeparator();
    m_fitWidth = act(QStringLiteral("Page Width"), {}, [this] { setZoom(Zoom::FitWidth); });
    m_fitPage = act(QStringLiteral("Whole Page"), {}, [this] { setZoom(Zoom::FitPage); });
    m_actual = act(QStringLiteral("100 %"), {}, [this] { setZoom(Zoom::Actual); });
    auto* zoomGroup = new QActionGroup(this);
    for (QAction* a : {m_fitWidth, m_fitPage, m_actual}) {
        a->setCheckable(true);
        zoomGroup->addAction(a);
    }
    m_fitWidth->setChecked(true);
    bar->addSeparator();
    m_print = act(QStringLiteral("Print..."), QKeySequence::Print, &PreviewWindow::print);
    m_save = act(QStringLiteral("Save..."), QKeySequence::Save, &PreviewWindow::save);
    m_open = act(QStringLiteral("Open..."), QKeySequence::Open, &PreviewWindow::open);
    m_export = act(QStringLiteral("Export PDF..."), {}, &PreviewWindow::exportPdf);
    m_exportCsv = act(QStringLiteral("Export CSV..."), {}, &PreviewWindow::exportCsv);
    bar->addSeparator();
    m_close = act(QStringLiteral("Close"), {}, &QDialog::accept);

    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new PageView(m_scroll);
    m_scroll->setWidget(m_view);
    m_scroll->viewport()->installEventFilter(this);

    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    lay->addWidget(bar);
    lay->addWidget(m_scroll, 1);

    // About two thirds of the screen, at least a page width.
    QSize want(820, 900);
    if (const QScreen* s = screen()) {
        const QRect avail = s->availableGeometry();
        want = QSize(std::min(avail.width(), std::max(700, avail.width() * 2 / 3)),
                     std::max(300, avail.height() - 60));
    }
    resize(want);
    updateView();
}

PreviewWindow::~PreviewWindow()
{
    if (m_cursorPushed)
        QApplication::restoreOverrideCursor();
}

double PreviewWindow::screenDpi() const
{
    const QScreen* s = screen();
    const double dpi = s ? s->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

void PreviewWindow::setPage(int index)
{
    if (pageCount() == 0)
        index = 0;
    else
        index = std::clamp(index, 0, pageCount() - 1);
    if (index == m_page && !m_image.isNull())
        return;
    m_page = index;
    updateView();
}

void PreviewWindow::setZoom(Zoom z)
{
    m_zoom = z;
    (z == Zoom::FitWidth ? m_fitWidth : z == Zoom::FitPage ? m_fitPage : m_actual)->setChecked(true);
    updateView();
}

void PreviewWindow::updateView()
{
    const QSizeF pageSize = pageCount() > 0 ? m_rep.pages.at(m_page).size : QSizeF(kPaperWidth, kPaperHeight);
    const QSize vp = m_scroll->viewport()->size();
    const int sb = m_scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int shadow = 4;
    const double availW = std::max(50, vp.width() - 2 * PageView::kBorder - shadow - (m_zoom == Zoom::FitWidth ? sb : 0));
    const double availH = std::max(50, vp.height() - 2 * PageView::kBorder - shadow);
    double dpi = screenDpi();
    if (m_zoom == Zoom::FitWidth)
        dpi = availW * 72.0 / pageSize.width();
    else if (m_zoom == Zoom::FitPage)
        dpi = std::min(availW * 72.0 / pageSize.width(), availH * 72.0 / pageSize.height());
    dpi = std::clamp(dpi, 10.0, 600.0);
    m_dpi = dpi;
    if (pageCount() > 0)
        m_image = renderPageImage(m_rep, m_page, dpi);
    else {
        m_image = QImage(qRound(pageSize.width() * dpi / 72), qRound(pageSize.height() * dpi / 72),
                         QImage::Format_ARGB32_Premultiplied);
        m_image.fill(Qt::white);
    }
    m_view->setImage(m_image);
    updateActions();
}

void PreviewWindow::updateActions()
{
    const int n = pageCount();
    m_first->setEnabled(m_page > 0);
    m_prior->setEnabled(m_page > 0);
    m_next->setEnabled(m_page + 1 < n);
    m_last->setEnabled(m_page + 1 < n);
    m_print->setEnabled(n > 0);
    m_export->setEnabled(n > 0);
    m_save->setEnabled(n > 0);
    m_exportCsv->setEnabled(!m_csv.isEmpty());
    {
        const QSignalBlocker block(m_pageBox);
        m_pageBox->setMaximum(std::max(1, n));
        m_pageBox->setValue(m_page + 1);
    }
    m_pageOf->setText(QStringLiteral(" of %1 ").arg(n));
}

void PreviewWindow::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // The caller shows the hourglass while it builds the report; the
    // preview is used with the arrow.
    if (!m_cursorPushed) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        m_cursorPushed = true;
    }
    updateView();
}

void PreviewWindow::hideEvent(QHideEvent* e)
{
    if (m_cursorPushed) {
        QApplication::restoreOverrideCursor();
        m_cursorPushed = false;
    }
    QDialog::hideEvent(e);
}

void PreviewWindow::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    if (m_zoom != Zoom::Actual)
        updateView();
}

bool PreviewWindow::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_scroll->viewport() && e->type() == QEvent::Resize && m_zoom != Zoom::Actual)
        updateView();
    return QDialog::eventFilter(watched, e);
}

namespace {

// The database file and its side files are never read or written here
// (opening one of them and closing it again would drop the program's locks
// on the database; writing one would destroy it).
bool refusedAsDatabaseFile(const QString& path)
{
    if (!Database::isDatabaseFile(path))
        return false;
    quen::showError(TFileDialog::databaseFileText(path));
    return true;
}

} // namespace

bool PreviewWindow::saveTo(const QString& path)
{
    if (refusedAsDatabaseFile(path))
        return false;
    return saveQrpFile(m_rep, path);
}

bool PreviewWindow::openFrom(const QString& path)
{
    if (refusedAsDatabaseFile(path))
        return false;
    PreparedReport rep;
    if (!openQrpFile(path, rep))
        return false;
    m_rep = std::move(rep);
    m_csv.clear();   // the tables belong to the report that was prepared, not to the file
    setWindowTitle(QStringLiteral("Print Preview - ") + QFileInfo(path).fileName());
    m_page = 0;
    m_image = QImage();
    updateView();
    return true;
}

bool PreviewWindow::exportPdfTo(const QString& path)
{
    if (refusedAsDatabaseFile(path))
        return false;
    QString err;
    if (writePdf(m_rep, path, &err))
        return true;
    quen::showError(err);
    return false;
}

void PreviewWindow::setCsvTables(const QList<CsvTable>& tables)
{
    m_csv = tables;
    updateActions();
}

bool PreviewWindow::exportCsvTo(const QString& path)
{
    if (refusedAsDatabaseFile(path))
        return false;
    QString err;
    if (writeCsv(m_csv, path, &err))
        return true;
    quen::showError(err);
    return false;
}

bool PreviewWindow::printTo(QPrinter& printer)
{
    QString err;
    if (printReport(m_rep, printer, &err))
        return true;
    quen::showError(err);
    return false;
}

void PreviewWindow::print()
{
    if (pageCount() == 0)
        return;
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, m_rep);
    QPrintDialog dlg(&printer, this);
    dlg.setMinMax(1, pageCount());
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dlg.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    // No "print to file": its chooser is the toolkit's own, which reads the
    // files of the folder it shows (see FileDialog.h); Export PDF writes a file.
    dlg.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (dlg.exec() != QDialog::Accepted)
        return;
    if (printer.printRange() == QPrinter::CurrentPage) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(m_page + 1, m_page + 1);
    }
    printTo(printer);
}

namespace {

QString withSuffix(QString path, const QString& suffix)
{
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    return path;
}

} // namespace

void PreviewWindow::save()
{
    const QString path = withSuffix(
        TFileDialog::getSaveFileName(this, QStringLiteral("Save Report"), QDir::currentPath(),
                                     QStringLiteral("Prepared reports (*.QRP *.qrp)")),
        QStringLiteral("QRP"));
    if (!path.isEmpty())
        saveTo(path);
}

void PreviewWindow::open()
{
    const QString path = TFileDialog::getOpenFileName(
        this, QStringLiteral("Open Report"), QDir::currentPath(),
        QStringLiteral("Prepared reports (*.QRP *.qrp);;All files (*)"));
    if (!path.isEmpty())
        openFrom(path);
}

void PreviewWindow::exportPdf()
{
    const QString path = withSuffix(
        TFileDialog::getSaveFileName(this, QStringLiteral("Export to PDF"), QDir::currentPath(),
                                     QStringLiteral("PDF files (*.pdf)")),
        QStringLiteral("pdf"));
    if (!path.isEmpty())
        exportPdfTo(path);
}

void PreviewWindow::exportCsv()
{
    if (m_csv.isEmpty())
        return;
    const QString path = withSuffix(
        TFileDialog::getSaveFileName(this, QStringLiteral("Export to CSV"), QDir::currentPath(),
                                     QStringLiteral("CSV files (*.csv)")),
        QStringLiteral("csv"));
    if (!path.isEmpty())
        exportCsvTo(path);
}

void showPreview(const PreparedReport& rep, QWidget* parent, const QList<CsvTable>& csv)
{
    PreviewWindow w(rep, parent);
    w.setCsvTables(csv);
    w.exec();
}

void Report::preview(QWidget* parent)
{
    showPreview(prepare(), parent, m_csvTables);
}

} // namespace quen::report
