// QRP files: prepared pages saved for later viewing and printing.
//
// Layout (integers little-endian):
//   8 bytes  magic "QUENQRP\x1a"
//   u32      format version (1)
//   u32      payload length
//   u32      CRC-32 of the payload
//   payload: title, fonts (family, size, style bits), pages (size, drawing
//   operations; charts as QPicture data). Strings are u32 byte length +
//   UTF-8; reals are IEEE doubles.
// Everything read is checked before use: counts and lengths against the
// bytes left and fixed limits, page sizes against Letter (a tenth larger at
// most), element boxes against the page, fonts and pens against sizes a page
// can hold, and each chart by the bounded reader of ChartPicture.h (QPicture
// never plays one). A damaged or foreign file is refused with a message that
// names it, never half-loaded. Saving writes a temporary file and puts it in
// place whole (OutputFile.h).
#pragma once

#include <QByteArray>
#include <QString>

#include "PreparedReport.h"

namespace quen::report {

inline constexpr quint32 kQrpVersion = 1;

QByteArray encodeQrp(const PreparedReport& rep);
// Returns false with a message fit for the user when the data is not a
// readable prepared report; out is left untouched then.
// fileName, when given, names the file in the message.
bool decodeQrp(const QByteArray& data, PreparedReport& out, QString* error,
               const QString& fileName = QString());

bool saveQrp(const PreparedReport& rep, const QString& path, QString* error);
bool loadQrp(const QString& path, PreparedReport& out, QString* error);

// As above, telling the user through the message service when it fails.
bool saveQrpFile(const PreparedReport& rep, const QString& path);
bool openQrpFile(const QString& path, PreparedReport& out);

} // namespace quen::report
