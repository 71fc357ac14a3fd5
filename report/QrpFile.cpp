#include "QrpFile.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <array>
#include <cmath>
#include <cstring>

#include "ChartPicture.h"
#include "DatabaseFiles.h"
#include "MessageService.h"
#include "OutputFile.h"

namespace quen::report {

namespace {

const char kMagic[8] = {'Q', 'U', 'E', 'N', 'Q', 'R', 'P', '\x1a'};
constexpr qsizetype kHeaderSize = 8 + 4 + 4 + 4;
constexpr qint64 kMaxFileSize = 64LL * 1024 * 1024;
constexpr double kMaxCoord = 1.0e6;

// Bounds of what a prepared report holds: Letter pages (a tenth larger at
// most, half as large at least), elements within a page's reach of the
// paper, one line of text per operation.
constexpr double kMaxPageWidth = kPaperWidth * 1.1;
constexpr double kMaxPageHeight = kPaperHeight * 1.1;
constexpr double kMinPageWidth = kPaperWidth / 2;
constexpr double kMinPageHeight = kPaperHeight / 2;
constexpr quint32 kMaxTextBytes = 4096;                        // one line
constexpr quint32 kMaxNameBytes = 1024;
constexpr quint32 kMaxFonts = 256;
constexpr quint32 kMaxPictureBytes = 8 * 1024 * 1024;
constexpr quint32 kMaxPages = 10000;
constexpr quint32 kMaxOpsPerPage = 20000;
// What one page may hold in all: a page of 6 pt text has some 25 KB.
constexpr qint64 kMaxTextBytesPerPage = 256 * 1024;
constexpr qint64 kMaxPictureBytesPerPage = 16 * 1024 * 1024;
constexpr double kMaxFontSize = 200.0;
constexpr double kMaxPenWidth = 72.0;
constexpr quint32 kAlignFlags = Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask;

quint32 crc32(const char* data, qsizetype len)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    quint32 c = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < len; ++i)
        c = table[(c ^ quint8(data[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

class Writer {
public:
    void u8(quint8 v) { m_buf.append(char(v)); }
    void u32(quint32 v)
    {
        for (int i = 0; i < 4; ++i)
            m_buf.append(char((v >> (8 * i)) & 0xFF));
    }
    void f64(double v)
    {
        quint64 bits;
        std::memcpy(&bits, &v, 8);
        for (int i = 0; i < 8; ++i)
            m_buf.append(char((bits >> (8 * i)) & 0xFF));
    }
    void bytes(const QByteArray& b)
    {
        u32(quint32(b.size()));
        m_buf.append(b);
    }
    void str(const QString& s) { bytes(s.toUtf8()); }
    void rect(const QRectF& r)
    {
        f64(r.x());
        f64(r.y());
        f64(r.width());
        f64(r.height());
    }
    QByteArray& buffer() { return m_buf; }

private:
    QByteArray m_buf;
};

// Every read checks the bytes left; the first failure sticks.
class Reader {
public:
    Reader(const char* data, qsizetype len) : m_data(data), m_len(len) {}
    bool ok() const { return m_ok; }
    qsizetype left() const { return m_len - m_pos; }
    void fail() { m_ok = false; }

    quint8 u8()
    {
        if (!need(1))
            return 0;
        return quint8(m_data[m_pos++]);
    }
    quint32 u32()
    {
        if (!need(4))
            return 0;
        quint32 v = 0;
        for (int i = 0; i < 4; ++i)
            v |= quint32(quint8(m_data[m_pos + i])) << (8 * i);
        m_pos += 4;
        return v;
    }
    double f64()
    {
        if (!need(8))
            return 0;
        quint64 bits = 0;
        for (int i = 0; i < 8; ++i)
            bits |= quint64(quint8(m_data[m_pos + i])) << (8 * i);
        m_pos += 8;
        double v;
        std::memcpy(&v, &bits, 8);
        if (!std::isfinite(v) || std::fabs(v) > kMaxCoord)
            m_ok = false;
        return v;
    }
    // At most max bytes, and no more than are left.
    QByteArray bytes(quint32 max)
    {
        const quint32 n = u32();
        if (n > max)
            m_ok = false;
        if (!need(qsizetype(n)))
            return {};
        QByteArray b(m_data + m_pos, qsizetype(n));
        m_pos += n;
        return b;
    }
    QString str(quint32 max) { return QString::fromUtf8(bytes(max)); }
    QRectF rect()
    {
        const double x = f64(), y = f64(), w = f64(), h = f64();
        return QRectF(x, y, w, h);
    }

private:
    bool need(qsizetype n)
    {
        if (!m_ok || n < 0 || n > m_len - m_pos) {
            m_ok = false;
            return false;
        }
        return true;
    }
    const char* m_data;
    qsizetype m_len;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

// Smallest encoded size of one drawing operation (kind, rect, text, font,
// align, colours, pen, picture), used to refuse impossible counts early.
constexpr qsizetype kMinOpSize = 1 + 32 + 4 + 4 + 4 + 4 + 4 + 8 + 4;
constexpr qsizetype kMinFontSize = 4 + 8 + 1;
constexpr qsizetype kMinPageSize = 16 + 4;

// Whether an element's box lies within a page's reach of the paper.
bool withinPage(const QRectF& r, const QSizeF& page)
{
    auto in = [](double v, double extent) { return v >= -extent && v <= 2 * extent; };
    return in(r.left(), page.width()) && in(r.right(), page.width()) && in(r.top(), page.height())
           && in(r.bottom(), page.height());
}

QString damaged(const QString& name)
{
    return QStringLiteral("This report file is damaged and cannot be opened")
           + (name.isEmpty() ? QString() : QStringLiteral(":") + name) + QStringLiteral(".");
}

} // namespace

QByteArray encodeQrp(const PreparedReport& rep)
{
    Writer w;
    w.str(rep.title);
    w.u32(quint32(rep.fonts.size()));
    for (const FontSpec& f : rep.fonts) {
        w.str(f.family);
        w.f64(f.size);
        w.u8(quint8((f.bold ? 1 : 0) | (f.italic ? 2 : 0) | (f.underline ? 4 : 0)));
    }
    w.u32(quint32(rep.pages.size()));
    for (const ReportPage& page : rep.pages) {
        w.f64(page.size.width());
        w.f64(page.size.height());
        w.u32(quint32(page.ops.size()));
        for (const DrawOp& op : page.ops) {
            w.u8(op.kind);
            w.rect(op.rect);
            w.str(op.text);
            w.u32(quint32(op.font));
            w.u32(op.align);
            w.u32(op.color);
            w.u32(op.fill);
            w.f64(op.penWidth);
            w.bytes(op.picture);
        }
    }
    const QByteArray payload = w.buffer();
    Writer head;
    head.buffer().append(kMagic, 8);
    head.u32(kQrpVersion);
    head.u32(quint32(payload.size()));
    head.u32(crc32(payload.constData(), payload.size()));
    head.buffer().append(payload);
    return head.buffer();
}

bool decodeQrp(const QByteArray& data, PreparedReport& out, QString* error, const QString& fileName)
{
    const QString name = fileName.isEmpty() ? QString() : QStringLiteral(" ") + fileName;
    {
        auto refuse = [&](const QString& msg) {
            if (error)
                *error = msg;
            return false;
        };
        const QString notQrp = QStringLiteral("The file") + name
                               + QStringLiteral(" is not a Quenpm prepared report (QRP) file.");
        if (data.size() < 8 || std::memcmp(data.constData(), kMagic, 8) != 0)
            return refuse(notQrp);
        if (data.size() < kHeaderSize)
            return refuse(damaged(name));
        Reader head(data.constData() + 8, 12);
        const quint32 version = head.u32();
        const quint32 length = head.u32();
        const quint32 crc = head.u32();
        if (version == 0)
            return refuse(damaged(name));
        if (version > kQrpVersion)
            return refuse(QStringLiteral("The file") + name
                          + QStringLiteral(" was saved by a newer version of Quenpm (prepared report format ")
                          + QString::number(version) + QStringLiteral(") and cannot be opened."));
        if (qint64(length) != qint64(data.size()) - kHeaderSize)
            return refuse(damaged(name));
        const char* payload = data.constData() + kHeaderSize;
        if (crc32(payload, length) != crc)
            return refuse(damaged(name));

        Reader r(payload, length);
        PreparedReport rep;
        rep.title = r.str(kMaxNameBytes);
        const quint32 nFonts = r.u32();
        if (!r.ok() || nFonts > kMaxFonts || qint64(nFonts) * kMinFontSize > r.left())
            return refuse(damaged(name));
        for (quint32 i = 0; i < nFonts && r.ok(); ++i) {
            FontSpec f;
            f.family = r.str(kMaxNameBytes);
            f.size = r.f64();
            const quint8 style = r.u8();
            f.bold = style & 1;
            f.italic = style & 2;
            f.underline = style & 4;
            if (f.family.isEmpty() || f.size <= 0 || f.size > kMaxFontSize || (style & ~7))
                r.fail();
            rep.fonts.append(f);
        }
        const quint32 nPages = r.u32();
        if (!r.ok() || nPages > kMaxPages || qint64(nPages) * kMinPageSize > r.left())
            return refuse(damaged(name));
        for (quint32 pi = 0; pi < nPages && r.ok(); ++pi) {
            ReportPage page;
            const double w = r.f64();
            const double h = r.f64();
            if (!(w >= kMinPageWidth && w <= kMaxPageWidth && h >= kMinPageHeight && h <= kMaxPageHeight))
                r.fail();
            page.size = QSizeF(w, h);
            const quint32 nOps = r.u32();
            if (!r.ok() || nOps > kMaxOpsPerPage || qint64(nOps) * kMinOpSize > r.left())
                return refuse(damaged(name));
            page.ops.reserve(nOps);
            qint64 textBytes = 0, pictureBytes = 0;
            for (quint32 oi = 0; oi < nOps && r.ok(); ++oi) {
                DrawOp op;
                const quint8 kind = r.u8();
                if (kind < DrawOp::Text || kind > DrawOp::Picture)
                    r.fail();
                op.kind = DrawOp::Kind(kind);
                op.rect = r.rect();
                op.text = r.str(kMaxTextBytes);
                op.font = int(r.u32());
                op.align = r.u32();
                op.color = r.u32();
                op.fill = r.u32();
                op.penWidth = r.f64();
                op.picture = r.bytes(kMaxPictureBytes);
                if (!r.ok())
                    break;
                // A line runs from the box's top-left to its bottom-right
                // corner; every other box has a size.
                const bool sized = op.kind == DrawOp::Line || (op.rect.width() >= 0 && op.rect.height() >= 0);
                bool sound = sized && withinPage(op.rect, page.size) && op.penWidth >= 0 && op.penWidth <= kMaxPenWidth
                             && (op.align & ~kAlignFlags) == 0;
                if (op.kind == DrawOp::Text)
                    sound = sound && op.font >= 0 && op.font < rep.fonts.size();
                else
                    sound = sound && op.text.isEmpty();
                if (op.kind == DrawOp::Picture)
                    sound = sound && chartPictureSound(op.picture);
                else
                    sound = sound && op.picture.isEmpty();
                textBytes += op.text.size();
                pictureBytes += op.picture.size();
                sound = sound && textBytes <= kMaxTextBytesPerPage && pictureBytes <= kMaxPictureBytesPerPage;
                if (!sound)
                    r.fail();
                page.ops.append(op);
            }
            rep.pages.append(page);
        }
        if (!r.ok() || r.left() != 0)
            return refuse(damaged(name));
        out = std::move(rep);
        return true;
    }
}

bool saveQrp(const PreparedReport& rep, const QString& path, QString* error)
{
    const QByteArray data = encodeQrp(rep);
    OutputFile f(path);
    QString why;
    if (!f.open(&why) || f.device()->write(data) != data.size() || !f.commit(&why)) {
        if (why.isEmpty())
            why = f.device()->errorString();
        if (error)
            *error = QStringLiteral("The prepared report could not be saved to ") + QDir::toNativeSeparators(path)
                     + QStringLiteral(": ") + why
                     + QStringLiteral(". Any earlier file of that name is left as it was.");
        return false;
    }
    return true;
}

bool loadQrp(const QString& path, PreparedReport& out, QString* error)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QString notQrp =
        QStringLiteral("The file ") + shown + QStringLiteral(" is not a Quenpm prepared report (QRP) file.");
    auto refuse = [&](const QString& msg) {
        if (error)
            *error = msg;
        return false;
    };
    // Looked at by name first: a pipe or device would never end, and the
    // database is opened by SQLite alone (closing any descriptor of it drops
    // the program's locks).
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return refuse(notQrp);
    if (isDatabaseFile(path))
        return refuse(notQrp);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("The file ") + shown + QStringLiteral(" cannot be opened: ") + f.errorString());
    if (f.size() > kMaxFileSize)
        return refuse(notQrp);
    // Read in pieces up to the largest size a report file has, whatever
    // size the file claims.
    QByteArray data;
    while (data.size() <= kMaxFileSize) {
        const QByteArray piece = f.read(1 << 20);
        if (piece.isEmpty())
            break;
        data += piece;
    }
    if (data.size() > kMaxFileSize)
        return refuse(notQrp);
    return decodeQrp(data, out, error, shown);
}

bool saveQrpFile(const PreparedReport& rep, const QString& path)
{
    QString err;
    if (saveQrp(rep, path, &err))
        return true;
    quen::showError(err);
    return false;
}

bool openQrpFile(const QString& path, PreparedReport& out)
{
    QString err;
    if (loadQrp(path, out, &err))
        return true;
    quen::showError(err);
    return false;
}

} // namespace quen::report
