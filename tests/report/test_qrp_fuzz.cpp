// Damaged report files: a hundred thousand mutations of a few sound QRP
// files, each either opened or refused, none crashing, none taking a second
// or 200 MB, and every opened one drawn as the preview draws it.
//
// The mutations are drawn from a fixed seed, so a failure names the case
// that repeats it (QUEN_FUZZ_FIRST / QUEN_FUZZ_COUNT narrow the run).
#include <gtest/gtest.h>

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QLineSeries>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <QValueAxis>
#include <cstring>
#include <limits>
#include <random>
#include <sys/resource.h>

#include "ChartPicture.h"
#include "ChartRender.h"
#include "QrpFile.h"
#include "Render.h"

using namespace quen::report;

namespace {

// A recording that uses every command a chart recording may hold.
QByteArray busyPicture()
{
    QPicture pic;
    QPainter p(&pic);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::blue, 1.5, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin));
    QLinearGradient g(0, 0, 0, 80);
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor::fromHsv(200, 80, 255));
    p.setBrush(g);
    p.drawRect(QRectF(2, 2, 150, 80));
    p.save();
    p.setClipRegion(QRegion(0, 0, 160, 90));
    p.translate(20, 60);
    p.rotate(-90);
    p.setFont(QFont(QStringLiteral("Sans Serif"), 7));
    p.drawText(QPointF(0, 0), QStringLiteral("inches"));
    p.restore();
    QPainterPath path;
    path.moveTo(10, 70);
    path.cubicTo(40, 10, 80, 90, 140, 20);
    path.lineTo(140, 70);
    p.setBrush(QColor(255, 0, 0, 120));
    p.drawPath(path);
    p.setPen(QPen(Qt::black, 0));
    p.drawPolygon(QPolygonF({QPointF(5, 5), QPointF(30, 8), QPointF(12, 25)}));
    p.drawPolyline(QPolygonF({QPointF(5, 40), QPointF(30, 48), QPointF(60, 35)}));
    p.drawEllipse(QRectF(100, 10, 12, 12));
    p.drawLine(QPointF(0, 85), QPointF(150, 85));
    p.setOpacity(0.5);
    p.setClipPath(path);
    p.drawText(QPointF(60, 50), QStringLiteral("Kc 1.05"));
    p.end();
    return QByteArray(pic.data(), int(pic.size()));
}

QByteArray smallChart()
{
    QChart chart;
    auto* set = new QBarSet(QStringLiteral("Irrigation Required"));
    *set << 1 << 2.5;
    auto* bars = new QBarSeries;
    bars->append(set);
    chart.addSeries(bars);
    auto* line = new QLineSeries;
    line->append(0, 1);
    line->append(1, 2);
    chart.addSeries(line);
    chart.setTitle(QStringLiteral("Normal Year"));
    chart.createDefaultAxes();
    const QByteArray data = renderChartPicture(&chart, QSizeF(240, 140));
    chart.removeAllSeries();
    return data;
}

DrawOp text(double x, double y, const QString& s, int font)
{
    DrawOp op;
    op.kind = DrawOp::Text;
    op.rect = QRectF(x, y, 200, 14);
    op.text = s;
    op.font = font;
    op.align = Qt::AlignLeft | Qt::AlignTop;
    return op;
}

// The sound files the mutations start from.
QList<PreparedReport> baseReports()
{
    PreparedReport a;
    a.title = QStringLiteral("Crop Data Details");
    a.fonts = {FontSpec(10), FontSpec(18, true)};
    ReportPage p1;
    p1.ops << text(36, 36, QStringLiteral("Quen"), 1) << text(36, 60, QStringLiteral("Crop: Beans"), 0);
    DrawOp rule;
    rule.kind = DrawOp::Line;
    rule.rect = QRectF(36, 80, 540, 0);
    rule.penWidth = 1;
    DrawOp frame;
    frame.kind = DrawOp::Rect;
    frame.rect = QRectF(36, 90, 200, 40);
    frame.penWidth = 0.5;
    frame.fill = 0xffeeeeee;
    DrawOp chart;
    chart.kind = DrawOp::Picture;
    chart.rect = QRectF(36, 140, 160, 90);
    chart.picture = busyPicture();
    p1.ops << rule << frame << chart;
    a.pages << p1;

    PreparedReport b;
    b.title = QStringLiteral("Bar Report");
    b.fonts = {FontSpec(QStringLiteral("Times New Roman"), 12, false, true)};
    ReportPage p2;
    DrawOp bars;
    bars.kind = DrawOp::Picture;
    bars.rect = QRectF(36, 36, 240, 140);
    bars.picture = smallChart();
    p2.ops << bars << text(36, 200, QStringLiteral("Page: 1"), 0);
    b.pages << p2;

    PreparedReport c;
    c.title = QStringLiteral("Job List");
    c.fonts = {FontSpec(9)};
    for (int pg = 0; pg < 2; ++pg) {
        ReportPage p;
        for (int i = 0; i < 6; ++i)
            p.ops << text(36, 36 + 14 * i, QStringLiteral("Job %1").arg(pg * 6 + i), 0);
        c.pages << p;
    }
    return {a, b, c};
}

// Little-endian QRP header fields (length and CRC-32 of the payload).
quint32 crc32(const char* data, qsizetype len)
{
    quint32 c = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < len; ++i) {
        c ^= quint8(data[i]);
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return c ^ 0xFFFFFFFFu;
}

void putLe32(QByteArray& b, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

void fixQrpHeader(QByteArray& f)
{
    if (f.size() < 20)
        return;
    putLe32(f, 12, quint32(f.size() - 20));
    putLe32(f, 16, crc32(f.constData() + 20, f.size() - 20));
}

void fixPictureChecksum(QByteArray& pic)
{
    if (pic.size() < 10)
        return;
    const quint16 cs = qChecksum(QByteArrayView(pic.constData() + 6, pic.size() - 6));
    pic[4] = char(cs >> 8);
    pic[5] = char(cs & 0xFF);
}

class Mutator {
public:
    explicit Mutator(quint64 seed) : m_rng(seed) {}
    quint64 below(quint64 n) { return n ? m_rng() % n : 0; }

    // One to four edits of the bytes: flips, interesting values of every
    // width at any offset (counts, lengths, coordinates, sizes), insertions,
    // deletions, cuts.
    void mutate(QByteArray& b)
    {
        const int edits = 1 + int(below(4));
        for (int e = 0; e < edits && !b.isEmpty(); ++e) {
            const qsizetype at = qsizetype(below(quint64(b.size())));
            switch (below(9)) {
            case 0:
                b[at] = char(b[at] ^ (1 << below(8)));
                break;
            case 1: {
                static const quint8 v[] = {0, 1, 0x7f, 0x80, 0xfe, 0xff, 30, 31, 255};
                b[at] = char(v[below(sizeof v)]);
                break;
            }
            case 2:
            case 3: {
                static const quint32 v[] = {0, 1, 2, 0xff, 0xffff, 0x7fffffff, 0x80000000, 0xffffffff, 0xfffffffe,
                                            1000000, 0x10000, 65, 1u << 28};
                const quint32 x = v[below(sizeof v / sizeof v[0])];
                for (int i = 0; i < 4 && at + i < b.size(); ++i)
                    b[at + i] = char(below(2) ? (x >> (8 * i)) & 0xff : (x >> (8 * (3 - i))) & 0xff);
                break;
            }
            case 4:
            case 5: {
                static const double v[] = {0.0, -1.0, 1e6, -1e6, 1e300, 612.0, 1e-300, 5000.0, 1e9,
                                           std::numeric_limits<double>::quiet_NaN(),
                                           std::numeric_limits<double>::infinity()};
                const double d = v[below(sizeof v / sizeof v[0])];
                quint64 bits;
                std::memcpy(&bits, &d, 8);
                const bool big = below(2);
                for (int i = 0; i < 8 && at + i < b.size(); ++i)
                    b[at + i] = char(big ? (bits >> (8 * (7 - i))) & 0xff : (bits >> (8 * i)) & 0xff);
                break;
            }
            case 6:
                b.insert(at, QByteArray(1 + qsizetype(below(16)), char(below(256))));
                break;
            case 7:
                b.remove(at, 1 + qsizetype(below(16)));
                break;
            default:
                b.truncate(at);
            }
        }
    }

private:
    std::mt19937_64 m_rng;
};

long maxRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

} // namespace

TEST(QrpFuzz, MutatedFilesOpenOrAreRefusedQuicklyAndDrawWithinBounds)
{
    const int first = qEnvironmentVariableIntValue("QUEN_FUZZ_FIRST");
    const int count = qEnvironmentVariableIsSet("QUEN_FUZZ_COUNT") ? qEnvironmentVariableIntValue("QUEN_FUZZ_COUNT")
                                                                   : 100000;
    const QList<PreparedReport> bases = baseReports();
    QList<QByteArray> files;
    for (const PreparedReport& r : bases) {
        files << encodeQrp(r);
        PreparedReport back;
        QString err;
        ASSERT_TRUE(decodeQrp(files.last(), back, &err)) << err.toStdString();
    }
    // warm up fonts and the image code before measuring
    for (const PreparedReport& r : bases)
        renderPageImage(r, 0, 20);

    // Memory: the address space may grow by 1 GB at most (an allocation
    // from an unchecked size fails at once), the resident set by 200 MB.
    rlimit old{};
    getrlimit(RLIMIT_AS, &old);
    {
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        QFile status(QStringLiteral("/proc/self/status"));
        qint64 vmKb = 0;
        if (status.open(QIODevice::ReadOnly))
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.startsWith("VmSize:"))
                    vmKb = line.mid(7).trimmed().split(' ').value(0).toLongLong();
        if (vmKb > 0) {
            rlimit lim = old;
            lim.rlim_cur = rlim_t(vmKb + 1024 * 1024) * 1024;
            setrlimit(RLIMIT_AS, &lim);
        }
    }
    const long rssBefore = maxRssKb();

    int opened = 0, refused = 0;
    qint64 slowestMs = 0;
    int slowest = -1;
    for (int i = first; i < first + count; ++i) {
        Mutator m(0x5eed0000ULL + quint64(i));
        const int which = int(m.below(quint64(files.size())));
        QByteArray file;
        switch (m.below(3)) {
        case 0:   // the file's bytes, header made to match most of the time
            file = files[which];
            m.mutate(file);
            if (m.below(10) != 0)
                fixQrpHeader(file);
            break;
        case 1: {   // a chart's recording, its own checksum made to match
            PreparedReport r = bases[which];
            QList<DrawOp*> charts;
            for (ReportPage& p : r.pages)
                for (DrawOp& op : p.ops)
                    if (op.kind == DrawOp::Picture)
                        charts << &op;
            if (!charts.isEmpty()) {
                QByteArray& pic = charts[qsizetype(m.below(quint64(charts.size())))]->picture;
                m.mutate(pic);
                if (m.below(10) != 0)
                    fixPictureChecksum(pic);
            }
            file = encodeQrp(r);
            break;
        }
        default: {   // one field of an element or page set to a value out of the ordinary
            PreparedReport r = bases[which];
            ReportPage& p = r.pages[qsizetype(m.below(quint64(r.pages.size())))];
            static const double v[] = {-1e6, 1e6, -700, 2000, 0, 5000, 1e-9, 900};
            const double d = v[m.below(sizeof v / sizeof v[0])];
            if (m.below(4) == 0 || p.ops.isEmpty()) {
                (m.below(2) ? p.size.rwidth() : p.size.rheight()) = d;
            } else {
                DrawOp& op = p.ops[qsizetype(m.below(quint64(p.ops.size())))];
                switch (m.below(6)) {
                case 0: op.rect.setX(d); break;
                case 1: op.rect.setHeight(d); break;
                case 2: op.penWidth = d; break;
                case 3: op.font = int(d); break;
                case 4: op.kind = DrawOp::Kind(1 + m.below(4)); break;
                default: r.fonts[0].size = d;
                }
            }
            file = encodeQrp(r);
        }
        }

        QElapsedTimer t;
        t.start();
        PreparedReport out;
        QString err;
        bool ok = false;
        try {
            ok = decodeQrp(file, out, &err, QStringLiteral("fuzz.QRP"));
            if (ok) {
                // drawn as the preview draws it, every page
                for (int pg = 0; pg < out.pageCount(); ++pg) {
                    const QImage img = renderPageImage(out, pg, 20);
                    ASSERT_LE(qint64(img.width()) * img.height(), 400LL * 500) << "case " << i;
                }
                // and saved again, it reads back the same
                PreparedReport again;
                ASSERT_TRUE(decodeQrp(encodeQrp(out), again, &err)) << "case " << i;
                ASSERT_TRUE(again == out) << "case " << i;
            } else {
                ASSERT_FALSE(err.isEmpty()) << "case " << i;
            }
        } catch (const std::bad_alloc&) {
            FAIL() << "case " << i << " asked for more memory than a report file can need";
        }
        const qint64 ms = t.elapsed();
        if (ms > slowestMs) {
            slowestMs = ms;
            slowest = i;
        }
        ASSERT_LT(ms, 1000) << "case " << i << " took " << ms << " ms";
        (ok ? opened : refused)++;
    }
    setrlimit(RLIMIT_AS, &old);
    const long grownMb = (maxRssKb() - rssBefore) / 1024;
    std::printf("%d opened, %d refused; slowest case %d (%lld ms); resident set grew %ld MB\n", opened, refused,
                slowest, static_cast<long long>(slowestMs), grownMb);
    EXPECT_LT(grownMb, 200);
    // the mutations reach past the header: a fair share of files open
    EXPECT_GT(opened, count / 20);
}
