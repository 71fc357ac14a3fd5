#include "Render.h"

#include <QPageLayout>
#include <QPageRanges>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <cmath>
#include <optional>
#include <vector>

#include "ChartPicture.h"
#include "OutputFile.h"

namespace quen::report {

namespace {

QPageLayout letterLayout()
{
    return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Point);
}

} // namespace

void paintPage(QPainter& p, const PreparedReport& rep, int pageIndex)
{
    if (pageIndex < 0 || pageIndex >= rep.pages.size())
        return;
    const ReportPage& page = rep.pages.at(pageIndex);
    QPaintDevice* dev = p.device();
    const double sx = dev ? dev->logicalDpiX() / 72.0 : 1.0;
    const double sy = dev ? dev->logicalDpiY() / 72.0 : 1.0;
    auto map = [&](const QRectF& r) { return QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy); };

    std::vector<std::optional<QFont>> fonts(rep.fonts.size());
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const DrawOp& op : page.ops) {
        switch (op.kind) {
        case DrawOp::Text: {
            if (op.font < 0 || op.font >= int(fonts.size()))
                break;
            auto& f = fonts[size_t(op.font)];
            if (!f)
                f = QFont(rep.fonts.at(op.font).toFont(), dev);
            p.setFont(*f);
            p.setPen(QColor::fromRgba(op.color));
            const int flags = int(op.align & (Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask))
                              | Qt::TextDontClip | Qt::TextSingleLine;
            p.drawText(map(op.rect), flags, op.text);
            break;
        }
        case DrawOp::Line: {
            QPen pen(QColor::fromRgba(op.color));
            pen.setWidthF(std::max(op.penWidth, 0.0) * sx);
            pen.setCapStyle(Qt::FlatCap);
            p.setPen(pen);
            p.drawLine(QPointF(op.rect.left() * sx, op.rect.top() * sy),
                       QPointF(op.rect.right() * sx, op.rect.bottom() * sy));
            break;
        }
        case DrawOp::Rect: {
            if (op.penWidth > 0) {
                QPen pen(QColor::fromRgba(op.color));
                pen.setWidthF(op.penWidth * sx);
                pen.setJoinStyle(Qt::MiterJoin);
                p.setPen(pen);
            } else
                p.setPen(Qt::NoPen);
            p.setBrush(qAlpha(op.fill) ? QBrush(QColor::fromRgba(op.fill)) : QBrush(Qt::NoBrush));
            p.drawRect(map(op.rect));
            p.setBrush(Qt::NoBrush);
            break;
        }
        case DrawOp::Picture: {
            if (op.picture.isEmpty())
                break;
            p.save();
            p.translate(op.rect.left() * sx, op.rect.top() * sy);
            p.setClipRect(QRectF(0, 0, op.rect.width() * sx, op.rect.height() * sy), Qt::IntersectClip);
            // The recording is in points; it is drawn by the report's own
            // bounded reader, never handed to QPicture.
            p.scale(sx, sy);
            playChartPicture(p, op.picture);
            p.restore();
            break;
        }
        }
    }
    p.restore();
}

QImage renderPageImage(const PreparedReport& rep, int pageIndex, double dpi)
{
    QSizeF size(kPaperWidth, kPaperHeight);
    if (pageIndex >= 0 && pageIndex < rep.pages.size())
        size = rep.pages.at(pageIndex).size;
    // A page is never drawn as an image larger than a Letter page (and a
    // tenth) at 300 dpi, whatever size and resolution it is asked for at.
    constexpr double kMaxPixels = 1.21 * kPaperWidth * kPaperHeight * (300.0 / 72.0) * (300.0 / 72.0);
    if (!(size.width() > 0 && size.height() > 0) || !std::isfinite(size.width() * size.height()))
        size = QSizeF(kPaperWidth, kPaperHeight);
    if (!(dpi > 0) || !std::isfinite(dpi))
        dpi = 72;
    const double pixels = size.width() * size.height() * (dpi / 72.0) * (dpi / 72.0);
    if (pixels > kMaxPixels)
        dpi *= std::sqrt(kMaxPixels / pixels);
    const int w = std::max(1, qRound(size.width() * dpi / 72.0));
    const int h = std::max(1, qRound(size.height() * dpi / 72.0));
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    const int dpm = qRound(dpi / 0.0254);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::white);
    QPainter p(&img);
    paintPage(p, rep, pageIndex);
    p.end();
    return img;
}

bool writePdf(const PreparedReport& rep, const QString& path, QString* error)
{
    // Written whole to a temporary file and put in place of the target only
    // when every write went through: a full disk leaves the earlier PDF.
    OutputFile out(path);
    QString why;
    if (!out.open(&why)) {
        if (error)
            *error = OutputFile::failureMessage(path, why);
        return false;
    }
    bool painted = false;
    {
        QPdfWriter writer(out.device());
        writer.setResolution(1200);
        writer.setPageLayout(letterLayout());
        writer.setTitle(rep.title);
        writer.setCreator(QStringLiteral("Quenpm"));
        QPainter p;
        if (p.begin(&writer)) {
            for (int i = 0; i < rep.pageCount(); ++i) {
                if (i > 0)
                    writer.newPage();
                paintPage(p, rep, i);
            }
            painted = p.end();
        }
    }
    if (!painted)
        why = QStringLiteral("the PDF could not be made");
    if (!painted || !out.commit(&why)) {
        if (error)
            *error = OutputFile::failureMessage(path, why);
        return false;
    }
    return true;
}

void setUpPrinter(QPrinter& printer, const PreparedReport& rep)
{
    printer.setFullPage(true);
    printer.setPageLayout(letterLayout());
    printer.setDocName(rep.title);
}

bool printReport(const PreparedReport& rep, QPrinter& printer, QString* error)
{
    printer.setFullPage(true);
    printer.setPageLayout(letterLayout());
    if (printer.docName().isEmpty())
        printer.setDocName(rep.title);
    QList<int> pages;
    const QPageRanges ranges = printer.printRange() == QPrinter::PageRange ? printer.pageRanges() : QPageRanges();
    for (int i = 0; i < rep.pageCount(); ++i)
        if (ranges.isEmpty() || ranges.contains(i + 1))
            pages.append(i);
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        std::reverse(pages.begin(), pages.end());
    QPainter p;
    if (!p.begin(&printer)) {
        if (error)
            *error = QStringLiteral("The printer could not be started.");
        return false;
    }
    bool firstPage = true;
    for (int i : std::as_const(pages)) {
        if (!firstPage)
            printer.newPage();
        firstPage = false;
        paintPage(p, rep, i);
    }
    p.end();
    return true;
}

} // namespace quen::report
