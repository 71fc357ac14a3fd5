// Painting prepared pages on the preview, the printer and PDF.
#pragma once

#include <QImage>
#include <QString>

#include "PreparedReport.h"

class QPainter;
class QPrinter;

namespace quen::report {

// Paints one page with the painter's origin at the paper's top-left corner;
// the scale follows the device's resolution.
void paintPage(QPainter& p, const PreparedReport& rep, int pageIndex);

// The page as an image at dpi dots per inch (white paper).
QImage renderPageImage(const PreparedReport& rep, int pageIndex, double dpi);

// Writes every page to a PDF file. On failure returns false with a message.
bool writePdf(const PreparedReport& rep, const QString& path, QString* error = nullptr);

// Prints the pages the printer's page ranges select (all when none) with its
// copies. The printer is set to Letter portrait, full page.
bool printReport(const PreparedReport& rep, QPrinter& printer, QString* error = nullptr);

// Sets a printer up for the report's paper before the print dialog shows.
void setUpPrinter(QPrinter& printer, const PreparedReport& rep);

} // namespace quen::report
