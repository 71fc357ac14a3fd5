#include "ChartPicture.h"

#include <QDataStream>
#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <QPolygonF>
#include <QRegion>
#include <cmath>
#include <cstring>

namespace quen::report {

namespace {

// The layout a chart recording has: QPicture data of stream version 20 (the
// Qt 6.0 to 6.5 encodings of pens, brushes, fonts and paths), written by a
// QPicture paint engine. Values are big-endian.
constexpr quint16 kPictureFormat = kChartPictureFormat;
constexpr qsizetype kHeaderBytes = 10;   // "QPIC", checksum, major, minor

// Bounds of a chart on a report page, in the recording's units (points).
constexpr double kCoordLimit = 10000.0;       // about twelve pages
constexpr double kScaleLimit = 64.0;           // world matrix entries
constexpr double kPenWidthLimit = 100.0;
constexpr double kFontSizeLimit = 200.0;
constexpr qsizetype kMaxRecords = 100000;
constexpr qsizetype kMaxPoints = 200000;       // path elements, polygon points and text characters, together
constexpr qsizetype kMaxTextChars = 4096;
constexpr qsizetype kMaxNameChars = 256;
constexpr int kMaxSaveDepth = 64;
constexpr quint32 kMaxRegionRects = 64;
constexpr quint32 kMaxGradientStops = 64;
constexpr quint32 kMaxDashes = 64;
constexpr quint32 kMaxFamilies = 16;

// Drawing commands of a QPicture recording that a chart uses.
enum Command : quint8 {
    DrawPoint = 1, DrawLine = 4, DrawRect = 5, DrawEllipse = 7, DrawLineSegments = 11, DrawPolyline = 12,
    DrawPolygon = 13, DrawTextItem = 21, DrawPath = 25, Begin = 30, End = 31, Save = 32, Restore = 33,
    SetBkColor = 40, SetBkMode = 41, SetBrushOrigin = 43, SetFont = 45, SetPen = 46, SetBrush = 47,
    SetWMatrix = 55, SetClip = 60, SetClipRegion = 61, SetClipPath = 62, SetRenderHint = 63,
    SetCompositionMode = 64, SetClipEnabled = 65, SetOpacity = 66,
};

// A paint device of a given resolution, for fonts resolved at the
// resolution the recording was made at.
class FontDevice : public QPaintDevice {
public:
    explicit FontDevice(int dpi) : m_dpi(dpi) {}
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return m_dpi;
        default:
            return QPaintDevice::metric(m);
        }
    }

private:
    int m_dpi;
};

// Reads big-endian values; every read checks the bytes left, every value
// its bounds; the first failure sticks and later reads return zeros.
class In {
public:
    In(const char* d, qsizetype n) : m_d(reinterpret_cast<const uchar*>(d)), m_n(n) {}
    bool ok() const { return m_ok; }
    void fail() { m_ok = false; }
    qsizetype left() const { return m_n - m_pos; }
    qsizetype pos() const { return m_pos; }
    const char* here() const { return reinterpret_cast<const char*>(m_d + m_pos); }
    bool check(bool cond)
    {
        if (!cond)
            m_ok = false;
        return m_ok;
    }

    quint8 u8() { return need(1) ? m_d[m_pos++] : 0; }
    quint16 u16()
    {
        if (!need(2))
            return 0;
        const quint16 v = quint16((m_d[m_pos] << 8) | m_d[m_pos + 1]);
        m_pos += 2;
        return v;
    }
    quint32 u32()
    {
        if (!need(4))
            return 0;
        quint32 v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | m_d[m_pos + i];
        m_pos += 4;
        return v;
    }
    qint32 i32() { return qint32(u32()); }
    bool boolean()
    {
        const quint8 v = u8();
        check(v <= 1);
        return v != 0;
    }
    double f64()
    {
        if (!need(8))
            return 0;
        quint64 bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = (bits << 8) | m_d[m_pos + i];
        m_pos += 8;
        double v;
        std::memcpy(&v, &bits, 8);
        if (!check(std::isfinite(v)))
            return 0;
        return v;
    }
    double within(double lo, double hi)
    {
        const double v = f64();
        return check(v >= lo && v <= hi) ? v : 0;
    }
    double coord() { return within(-kCoordLimit, kCoordLimit); }
    QPointF point()
    {
        const double x = coord();
        const double y = coord();
        return QPointF(x, y);
    }
    QRectF rect()
    {
        const double x = coord(), y = coord(), w = coord(), h = coord();
        return QRectF(x, y, w, h);
    }
    // UTF-16 text of at most maxChars characters; null when the length is ~0.
    QString str(qsizetype maxChars)
    {
        const quint32 bytes = u32();
        if (!m_ok || bytes == 0xFFFFFFFFu)
            return {};
        if (!check(bytes % 2 == 0 && qsizetype(bytes / 2) <= maxChars) || !need(qsizetype(bytes)))
            return {};
        QString s(qsizetype(bytes / 2), Qt::Uninitialized);
        for (qsizetype i = 0; i < s.size(); ++i)
            s[i] = QChar(char16_t((m_d[m_pos + 2 * i] << 8) | m_d[m_pos + 2 * i + 1]));
        m_pos += bytes;
        return s;
    }
    // A count of items of at least itemBytes each that the bytes left can hold.
    quint32 count(qsizetype itemBytes, quint32 max)
    {
        const quint32 n = u32();
        return check(n <= max && qint64(n) * itemBytes <= left()) ? n : 0;
    }

private:
    bool need(qsizetype k)
    {
        if (!m_ok || k < 0 || k > m_n - m_pos) {
            m_ok = false;
            return false;
        }
        return true;
    }
    const uchar* m_d;
    qsizetype m_n;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

class Reader {
public:
    Reader(const QByteArray& data, QPainter* painter) : m_data(data), m_p(painter) {}
    bool run();

private:
    bool record(quint8 cmd, In& in);
    bool spend(qsizetype n)
    {
        m_points += n;
        return m_points <= kMaxPoints;
    }

    QColor color(In& in);
    QTransform transform(In& in);
    QBrush brush(In& in);
    QPen pen(In& in);
    QFont font(In& in);
    QPainterPath path(In& in);
    QRegion region(In& in);
    QPolygonF polygon(In& in);

    const QByteArray& m_data;
    QPainter* m_p;              // null: check only
    QTransform m_world;         // the painter's transform when the recording started
    qsizetype m_points = 0;
    int m_depth = 0;
};

QColor Reader::color(In& in)
{
    const char* at = in.here();
    const quint8 model = in.u8();
    in.u16();   // alpha
    const quint16 first = in.u16();   // red, hue or cyan
    in.u16();
    in.u16();
    in.u16();   // pad, or black of a CMYK colour
    // Invalid, RGB, HSV, CMYK or HSL; a hue in hundredths of a degree or
    // "none" (grey).
    const bool hue = model == QColor::Hsv || model == QColor::Hsl;
    if (!in.check(model <= QColor::Hsl && (!hue || first <= 35999 || first == 0xFFFF)) || !m_p)
        return QColor();
    // Eleven bytes of known meaning: read the colour as Qt wrote it.
    QDataStream ds(QByteArray::fromRawData(at, 11));
    ds.setVersion(kPictureFormat);
    QColor c;
    ds >> c;
    return c;
}

QTransform Reader::transform(In& in)
{
    double m[9];
    for (double& v : m)
        v = in.f64();
    const bool affine = m[2] == 0 && m[5] == 0 && m[8] == 1;
    bool bounded = true;
    for (int i : {0, 1, 3, 4})
        bounded &= std::fabs(m[i]) <= kScaleLimit;
    bounded &= std::fabs(m[6]) <= kCoordLimit && std::fabs(m[7]) <= kCoordLimit;
    in.check(affine && bounded);
    return QTransform(m[0], m[1], m[3], m[4], m[6], m[7]);
}

QBrush Reader::brush(In& in)
{
    const quint8 style = in.u8();
    const QColor c = color(in);
    // Solid, pattern and linear gradient brushes; no textures.
    if (!in.check(style <= Qt::LinearGradientPattern))
        return {};
    QBrush b;
    if (style == Qt::LinearGradientPattern) {
        const qint32 type = in.i32();
        const qint32 spread = in.i32();
        const qint32 mode = in.i32();
        const qint32 interpolation = in.i32();
        in.check(type == QGradient::LinearGradient && spread >= 0 && spread <= QGradient::RepeatSpread && mode >= 0
                 && mode <= QGradient::ObjectMode && interpolation >= 0
                 && interpolation <= QGradient::ComponentInterpolation);
        const quint32 n = in.count(8 + 11, kMaxGradientStops);
        QGradientStops stops;
        double last = 0;
        for (quint32 i = 0; i < n && in.ok(); ++i) {
            const double at = in.within(0, 1);
            in.check(at >= last);
            last = at;
            stops.append({at, color(in)});
        }
        const QPointF start = in.point();
        const QPointF stop = in.point();
        QLinearGradient g(start, stop);
        g.setSpread(QGradient::Spread(spread));
        g.setCoordinateMode(QGradient::CoordinateMode(mode));
        g.setInterpolationMode(QGradient::InterpolationMode(interpolation));
        g.setStops(stops);
        b = QBrush(g);
    } else {
        b = QBrush(c, Qt::BrushStyle(style));
    }
    const QTransform t = transform(in);
    if (in.ok() && m_p)
        b.setTransform(t);
    return b;
}

QPen Reader::pen(In& in)
{
    const quint16 bits = in.u16();
    const int style = bits & 0x0f;
    const int cap = bits & 0x30;
    const int join = bits & 0x1c0;
    in.check(style <= Qt::CustomDashLine && cap <= Qt::RoundCap && join <= Qt::SvgMiterJoin
             && (join == Qt::MiterJoin || join == Qt::BevelJoin || join == Qt::RoundJoin || join == Qt::SvgMiterJoin)
             && (bits & ~0x1ff) == 0);
    const bool cosmetic = in.boolean();
    const double width = in.within(0, kPenWidthLimit);
    const QBrush b = brush(in);
    const double miter = in.within(0, kPenWidthLimit);
    const quint32 n = in.count(8, kMaxDashes);
    QList<qreal> dashes;
    double total = 0;
    for (quint32 i = 0; i < n && in.ok(); ++i) {
        const double d = in.within(0, 1000);
        total += d;
        dashes.append(d);
    }
    const double offset = in.coord();
    in.boolean();   // width was the default
    const bool dashed = style > Qt::SolidLine && style <= Qt::CustomDashLine;
    // Dashes shorter than a tenth of a point along a page-long line would be
    // hundreds of thousands of segments.
    if (dashed)
        in.check(width == 0 || width >= 0.1);
    if (style == Qt::CustomDashLine)
        in.check(n >= 2 && n % 2 == 0 && total >= 0.5);
    if (!in.ok() || !m_p)
        return {};
    QPen p(b, width, Qt::PenStyle(style), Qt::PenCapStyle(cap), Qt::PenJoinStyle(join));
    p.setCosmetic(cosmetic);
    p.setMiterLimit(miter);
    if (style == Qt::CustomDashLine)
        p.setDashPattern(dashes);
    if (dashed)
        p.setDashOffset(offset);
    return p;
}

QFont Reader::font(In& in)
{
    const QString family = in.str(kMaxNameChars);
    const QString styleName = in.str(kMaxNameChars);
    const double pointSize = in.f64();
    const qint32 pixelSize = in.i32();
    const quint8 hint = in.u8();
    const quint16 strategy = in.u16();
    const quint16 weight = in.u16();
    const quint8 bits = in.u8();
    const quint16 stretch = in.u16();
    in.u8();   // extended bits: pitch matching, spacing kind
    const qint32 letterSpacing = in.i32();
    const qint32 wordSpacing = in.i32();
    const quint8 hinting = in.u8();
    const quint8 capital = in.u8();
    const quint32 n = in.count(4, kMaxFamilies);
    QStringList families;
    for (quint32 i = 0; i < n && in.ok(); ++i)
        families << in.str(kMaxNameChars);
    const bool byPoints = pointSize > 0 && pointSize <= kFontSizeLimit && pixelSize == -1;
    const bool byPixels = pointSize == -1 && pixelSize > 0 && pixelSize <= kFontSizeLimit;
    in.check((byPoints || byPixels) && hint <= QFont::Cursive && weight >= 1 && weight <= 1000
             && stretch <= QFont::UltraExpanded && letterSpacing == 0 && wordSpacing == 0
             && hinting <= QFont::PreferFullHinting && capital <= QFont::Capitalize);
    if (!in.ok() || !m_p)
        return {};
    QFont f;
    if (!families.isEmpty())
        f.setFamilies(families);
    else
        f.setFamily(family);
    if (!styleName.isNull())
        f.setStyleName(styleName);
    if (byPoints)
        f.setPointSizeF(pointSize);
    else
        f.setPixelSize(pixelSize);
    f.setStyleHint(QFont::StyleHint(hint), QFont::StyleStrategy(strategy));
    f.setWeight(QFont::Weight(weight));
    f.setStyle((bits & 0x80) ? QFont::StyleOblique : (bits & 0x01) ? QFont::StyleItalic : QFont::StyleNormal);
    f.setUnderline(bits & 0x02);
    f.setStrikeOut(bits & 0x04);
    f.setFixedPitch(bits & 0x08);
    f.setKerning(bits & 0x10);
    f.setOverline(bits & 0x40);
    if (stretch)
        f.setStretch(stretch);
    f.setHintingPreference(QFont::HintingPreference(hinting));
    f.setCapitalization(QFont::Capitalization(capital));
    return f;
}

QPainterPath Reader::path(In& in)
{
    const quint32 n = in.count(20, quint32(kMaxPoints));
    QPainterPath path;
    if (n == 0 || !in.ok() || !spend(n)) {
        in.check(m_points <= kMaxPoints);
        return path;
    }
    // A curve is its first control point, then two data elements: the
    // second control point and the end point.
    QPointF control[2];
    int curveData = -1;   // after a curve: the data elements read so far
    for (quint32 i = 0; i < n && in.ok(); ++i) {
        const qint32 type = in.i32();
        const QPointF pt = in.point();
        if (curveData >= 0) {
            if (!in.check(type == QPainterPath::CurveToDataElement))
                break;
            if (curveData == 0) {
                control[1] = pt;
                curveData = 1;
            } else {
                path.cubicTo(control[0], control[1], pt);
                curveData = -1;
            }
            continue;
        }
        switch (type) {
        case QPainterPath::MoveToElement:
            path.moveTo(pt);
            break;
        case QPainterPath::LineToElement:
            in.check(i > 0);
            path.lineTo(pt);
            break;
        case QPainterPath::CurveToElement:
            in.check(i > 0);
            control[0] = pt;
            curveData = 0;
            break;
        default:
            in.fail();
        }
    }
    in.check(curveData < 0);
    const qint32 start = in.i32();
    const qint32 fill = in.i32();
    in.check(start >= 0 && quint32(start) < n && (fill == Qt::OddEvenFill || fill == Qt::WindingFill));
    path.setFillRule(Qt::FillRule(fill));
    return path;
}

QRegion Reader::region(In& in)
{
    const quint32 bytes = in.u32();
    QRegion r;
    if (bytes == 0 || !in.ok())
        return r;
    const qint32 kind = in.i32();
    const quint32 n = in.u32();
    constexpr qint32 kRects = 10;
    if (!in.check(kind == kRects && n >= 1 && n <= kMaxRegionRects && bytes == 8 + 16 * n))
        return r;
    for (quint32 i = 0; i < n && in.ok(); ++i) {
        const qint32 x = in.i32(), y = in.i32(), w = in.i32(), h = in.i32();
        const qint32 lim = qint32(kCoordLimit);
        if (!in.check(std::abs(x) <= lim && std::abs(y) <= lim && w >= 0 && w <= 2 * lim && h >= 0 && h <= 2 * lim))
            break;
        r = r.united(QRect(x, y, w, h));
    }
    return r;
}

QPolygonF Reader::polygon(In& in)
{
    const quint32 n = in.count(16, quint32(kMaxPoints));
    QPolygonF poly;
    if (!in.ok() || !in.check(spend(n)))
        return poly;
    poly.reserve(n);
    for (quint32 i = 0; i < n && in.ok(); ++i)
        poly.append(in.point());
    return poly;
}

bool Reader::record(quint8 cmd, In& in)
{
    QPainter* p = m_p;
    switch (cmd) {
    case DrawPoint: {
        const QPointF pt = in.point();
        if (in.ok() && p)
            p->drawPoint(pt);
        break;
    }
    case DrawLine: {
        const QPointF a = in.point();
        const QPointF b = in.point();
        if (in.ok() && p)
            p->drawLine(a, b);
        break;
    }
    case DrawRect:
    case DrawEllipse: {
        const QRectF r = in.rect();
        if (in.ok() && p)
            cmd == DrawRect ? p->drawRect(r) : p->drawEllipse(r);
        break;
    }
    case DrawLineSegments: {
        const quint32 n = in.count(8, quint32(kMaxPoints));
        in.check(n % 2 == 0 && spend(n));
        QPolygon pts;
        const qint32 lim = qint32(kCoordLimit);
        for (quint32 i = 0; i < n && in.ok(); ++i) {
            const qint32 x = in.i32(), y = in.i32();
            in.check(std::abs(x) <= lim && std::abs(y) <= lim);
            pts.append(QPoint(x, y));
        }
        if (in.ok() && p)
            p->drawLines(pts);
        break;
    }
    case DrawPolyline: {
        const QPolygonF poly = polygon(in);
        if (in.ok() && p)
            p->drawPolyline(poly);
        break;
    }
    case DrawPolygon: {
        const QPolygonF poly = polygon(in);
        const quint8 winding = in.u8();
        in.check(winding <= 1);
        if (in.ok() && p)
            p->drawPolygon(poly, winding ? Qt::WindingFill : Qt::OddEvenFill);
        break;
    }
    case DrawPath: {
        const QPainterPath path = this->path(in);
        if (in.ok() && p)
            p->drawPath(path);
        break;
    }
    case DrawTextItem: {
        const QPointF at = in.point();
        const QString text = in.str(kMaxTextChars);
        const QFont f = font(in);
        const quint32 flags = in.u32();
        const double dpiRatio = in.within(0.05, 20.0);
        const double justify = in.within(0, kCoordLimit);
        in.check(flags <= 0xff && spend(text.size()));
        if (!in.ok() || !p)
            break;
        // The font was resolved at the recording's resolution (its ratio to
        // the default one is stored); one unit of the recording is one pixel
        // of that resolution.
        const FontDevice recorded(qRound(dpiRatio * QPicture().logicalDpiY()));
        const QFont atRecording(f, &recorded);
        int textFlags = Qt::TextSingleLine | Qt::TextDontClip | Qt::TextForceLeftToRight;
        QSizeF size(1, 1);
        if (justify > 0) {
            size.setWidth(justify);
            textFlags |= Qt::TextJustificationForced | Qt::AlignJustify;
        }
        QFont drawn = atRecording;
        const QPaintDevice* dev = p->device();
        const double devDpi = dev && dev->logicalDpiY() > 0 ? dev->logicalDpiY() : 72.0;
        if (f.pointSizeF() > 0)
            drawn.setPointSizeF(f.pointSizeF() * dpiRatio * QPicture().logicalDpiY() / devDpi);
        const QFontMetrics fm(atRecording);
        p->save();
        p->setFont(drawn);
        p->drawText(QRectF(QPointF(at.x(), at.y() - fm.ascent()), size), textFlags, text);
        p->restore();
        break;
    }
    case Save:
        if (!in.check(m_depth < kMaxSaveDepth))
            break;
        ++m_depth;
        if (p)
            p->save();
        break;
    case Restore:
        if (!in.check(m_depth > 0))
            break;
        --m_depth;
        if (p)
            p->restore();
        break;
    case SetBkColor: {
        const QColor c = color(in);
        if (in.ok() && p)
            p->setBackground(c);
        break;
    }
    case SetBkMode: {
        const quint8 mode = in.u8();
        if (in.check(mode <= Qt::OpaqueMode) && p)
            p->setBackgroundMode(Qt::BGMode(mode));
        break;
    }
    case SetBrushOrigin: {
        const QPointF o = in.point();
        if (in.ok() && p)
            p->setBrushOrigin(o);
        break;
    }
    case SetFont: {
        const QFont f = font(in);
        if (in.ok() && p)
            p->setFont(f);
        break;
    }
    case SetPen: {
        const QPen pn = pen(in);
        if (in.ok() && p)
            p->setPen(pn);
        break;
    }
    case SetBrush: {
        const QBrush b = brush(in);
        if (in.ok() && p)
            p->setBrush(b);
        break;
    }
    case SetWMatrix: {
        const QTransform t = transform(in);
        const quint8 combine = in.u8();
        // A recording sets whole matrices; combining could grow the scale
        // without bound.
        if (in.check(combine == 0) && p)
            p->setTransform(t * m_world);
        break;
    }
    case SetClip:
    case SetClipEnabled: {
        const bool on = in.boolean();
        if (in.ok() && p)
            p->setClipping(on);
        break;
    }
    case SetClipRegion: {
        const QRegion r = region(in);
        const quint8 op = in.u8();
        if (in.check(op <= Qt::IntersectClip) && p)
            p->setClipRegion(r, Qt::ClipOperation(op));
        break;
    }
    case SetClipPath: {
        const QPainterPath path = this->path(in);
        const quint8 op = in.u8();
        if (in.check(op <= Qt::IntersectClip) && p)
            p->setClipPath(path, Qt::ClipOperation(op));
        break;
    }
    case SetRenderHint: {
        const quint32 hints = in.u32();
        if (in.ok() && p) {
            p->setRenderHint(QPainter::Antialiasing, hints & QPainter::Antialiasing);
            p->setRenderHint(QPainter::SmoothPixmapTransform, hints & QPainter::SmoothPixmapTransform);
        }
        break;
    }
    case SetCompositionMode: {
        const quint32 mode = in.u32();
        if (in.check(mode <= QPainter::CompositionMode_Xor) && p)
            p->setCompositionMode(QPainter::CompositionMode(mode));
        break;
    }
    case SetOpacity: {
        const double o = in.within(0, 1);
        if (in.ok() && p)
            p->setOpacity(o);
        break;
    }
    default:
        in.fail();   // not a command of a chart recording
    }
    return in.ok();
}

bool Reader::run()
{
    const qsizetype size = m_data.size();
    if (size == 0)
        return true;
    In head(m_data.constData(), size);
    const bool tag = size >= kHeaderBytes && std::memcmp(m_data.constData(), "QPIC", 4) == 0;
    if (!tag)
        return false;
    head.u32();
    const quint16 checksum = head.u16();
    const quint16 major = head.u16();
    const quint16 minor = head.u16();
    if (major != kPictureFormat || minor != 0
        || qChecksum(QByteArrayView(m_data.constData() + 6, size - 6)) != checksum)
        return false;
    if (head.u8() != Begin)
        return false;
    if (head.u8() == 255)
        head.u32();
    for (int i = 0; i < 4; ++i) {
        const qint32 v = head.i32();   // bounding rectangle
        head.check(std::abs(v) <= qint32(kCoordLimit) * 2);
    }
    const quint32 records = head.count(2, quint32(kMaxRecords));
    if (!head.ok() || records == 0)
        return false;

    if (m_p) {
        m_p->save();
        m_world = m_p->transform();
    }
    bool ok = true;
    bool ended = false;
    qsizetype pos = head.pos();
    for (quint32 r = 0; r < records && ok; ++r) {
        In frame(m_data.constData() + pos, size - pos);
        const quint8 cmd = frame.u8();
        qsizetype len = frame.u8();
        if (len == 255)
            len = frame.u32();
        if (!frame.ok() || len > frame.left() || ended) {
            ok = false;
            break;
        }
        pos += frame.pos();
        if (cmd == End) {
            ended = len == 0 && r + 1 == records;
            ok = ended;
            continue;
        }
        In params(m_data.constData() + pos, len);
        ok = record(cmd, params) && params.left() == 0;
        pos += len;
    }
    ok = ok && ended && pos == size;
    if (m_p) {
        for (; m_depth > 0; --m_depth)
            m_p->restore();
        m_p->restore();
    }
    return ok;
}

} // namespace

bool chartPictureSound(const QByteArray& data)
{
    return Reader(data, nullptr).run();
}

bool playChartPicture(QPainter& p, const QByteArray& data)
{
    // Checked whole first: a damaged recording draws nothing rather than a part.
    if (!chartPictureSound(data))
        return false;
    return Reader(data, &p).run();
}

} // namespace quen::report
