// Prepared pages: what a report looks like once it has been laid out.
//
// A prepared report is a list of pages, each a list of drawing operations in
// page coordinates (points, 1/72 inch, origin at the top-left corner of the
// paper). It holds no live data: text is final, charts are recorded vector
// drawings. The same pages are painted on the preview, the printer and PDF,
// and saved to and read back from QRP files unchanged.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QFont;

namespace quen::report {

// Letter paper, portrait, in points.
inline constexpr double kPaperWidth = 612.0;
inline constexpr double kPaperHeight = 792.0;
inline constexpr double kMargin = 36.0;                       // 0.5 inch
inline constexpr double kPrintWidth = kPaperWidth - 2 * kMargin;   // 540
inline constexpr double kPrintHeight = kPaperHeight - 2 * kMargin; // 720

// A font by name, so that a saved report needs no font file.
struct FontSpec {
    QString family = QStringLiteral("Arial");
    double size = 10.0;      // points
    bool bold = false;
    bool italic = false;
    bool underline = false;

    FontSpec() = default;
    FontSpec(const QString& f, double s, bool b = false, bool i = false, bool u = false)
        : family(f), size(s), bold(b), italic(i), underline(u) {}
    FontSpec(double s, bool b = false, bool i = false, bool u = false)
        : size(s), bold(b), italic(i), underline(u) {}

    QFont toFont() const;    // hinting off, so that widths scale with resolution
    bool operator==(const FontSpec&) const = default;
};

struct DrawOp {
    enum Kind : quint8 { Text = 1, Line = 2, Rect = 3, Picture = 4 };
    Kind kind = Text;
    QRectF rect;          // Text: line box; Rect/Picture: box; Line: from topLeft to bottomRight
    QString text;         // Text: one line, drawn without wrapping
    int font = 0;         // Text: index into PreparedReport::fonts
    quint32 align = 0;    // Text: Qt::Alignment flags
    QRgb color = 0xff000000;   // text, line or frame colour
    QRgb fill = 0;             // Rect: fill colour (alpha 0 = no fill)
    double penWidth = 0.0;     // Line/Rect: points; 0 on a Rect = no frame
    QByteArray picture;        // Picture: QPicture data drawn into rect

    bool operator==(const DrawOp&) const = default;
};

struct ReportPage {
    QSizeF size{kPaperWidth, kPaperHeight};
    QList<DrawOp> ops;
    bool operator==(const ReportPage&) const = default;
};

struct PreparedReport {
    QString title;                 // print-job and window title
    QList<FontSpec> fonts;
    QList<ReportPage> pages;

    int fontIndex(const FontSpec& f);   // adds the font when new
    int pageCount() const { return int(pages.size()); }
    bool operator==(const PreparedReport&) const = default;
};

} // namespace quen::report
