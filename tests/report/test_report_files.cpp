// Outputs of prepared reports: QRP files (round trip, damaged files), PDF,
// the preview window's actions.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFile>
#include <QLineSeries>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QValueAxis>
#include <cmath>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

#include "ChartPicture.h"
#include "ChartRender.h"
#include "CsvExport.h"
#include "PreviewWindow.h"
#include "QrpFile.h"
#include "Render.h"
#include "Report.h"
#include "ReportTestUtil.h"

using namespace quen::report;
using namespace testutil;

namespace {

// A three-page report with a chart on the first page.
PreparedReport sampleReport()
{
    static MemoryDataSet ds = [] {
        MemoryDataSet d({QStringLiteral("Crop"), QStringLiteral("County")});
        for (int i = 1; i <= 90; ++i)
            d.addRow({QStringLiteral("Crop %1").arg(i), QStringLiteral("Weld, CO")});
        return d;
    }();
    Report rep(QStringLiteral("Sample Report"));
    rep.setDataSet(&ds);
    rep.setPrintTime(QDateTime(QDate(2026, 1, 2), QTime(9, 0)));
    rep.pageHeader().setHeight(24);
    rep.pageHeader().addLabel(QRectF(0, 0, kPrintWidth, 0), QStringLiteral("Quen Sample Heading"), FontSpec(14, true),
                              Qt::AlignHCenter)->setColor(Qt::blue);
    rep.titleBand().setHeight(230);
    ChartElement* chart = rep.titleBand().addChart(QRectF(0, 0, kPrintWidth, 220));
    auto* set = new QBarSet(QStringLiteral("Irrigation Required"));
    *set << 1 << 2 << 3.5 << 2;
    set->setColor(Qt::red);
    auto* series = new QBarSeries;
    series->append(set);
    chart->chart()->addSeries(series);
    chart->chart()->setTitle(QStringLiteral("Normal Year (50% chance)"));
    chart->chart()->createDefaultAxes();
    rep.detail().setHeight(14);
    rep.detail().addField(0, 0, QStringLiteral("Crop"));
    rep.detail().addField(200, 0, QStringLiteral("County"));
    rep.pageFooter().setHeight(14);
    rep.pageFooter().addSystemValue(QRectF(0, 0, 200, 0), SystemValue::Date, QStringLiteral("Date: "));
    rep.pageFooter().addSystemValue(QRectF(340, 0, 200, 0), SystemValue::PageNumber, QStringLiteral("Page: "), {},
                                    Qt::AlignRight);
    return rep.prepare();
}

QString pdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(QrpFile, SavedAndOpenedAgainGivesTheSamePages)
{
    const PreparedReport pr = sampleReport();
    ASSERT_GE(pr.pageCount(), 3);
    bool hasPicture = false;
    for (const DrawOp& op : pr.pages[0].ops)
        hasPicture |= op.kind == DrawOp::Picture && !op.picture.isEmpty();
    ASSERT_TRUE(hasPicture);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.QRP"));
    ASSERT_TRUE(saveQrp(pr, path, nullptr));
    PreparedReport back;
    QString err;
    ASSERT_TRUE(loadQrp(path, back, &err)) << err.toStdString();
    ASSERT_EQ(back.pageCount(), pr.pageCount());
    EXPECT_EQ(back.title, pr.title);
    EXPECT_EQ(back.fonts, pr.fonts);
    for (int p = 0; p < pr.pageCount(); ++p) {
        ASSERT_EQ(back.pages[p].ops.size(), pr.pages[p].ops.size());
        for (qsizetype i = 0; i < pr.pages[p].ops.size(); ++i) {
            const DrawOp& a = pr.pages[p].ops[i];
            const DrawOp& b = back.pages[p].ops[i];
            EXPECT_TRUE(a == b) << "page " << p << " op " << i;
            // exact, not fuzzy
            EXPECT_EQ(a.rect.x(), b.rect.x());
            EXPECT_EQ(a.rect.height(), b.rect.height());
        }
    }
    EXPECT_EQ(encodeQrp(back), encodeQrp(pr));
    // and they paint alike
    EXPECT_EQ(renderPageImage(back, 0, 50), renderPageImage(pr, 0, 50));
}

TEST(QrpFile, DamagedOrForeignFilesAreRefusedWithAMessage)
{
    const PreparedReport pr = sampleReport();
    const QByteArray good = encodeQrp(pr);
    QTemporaryDir dir;
    auto write = [&](const QString& name, const QByteArray& data) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return path;
    };

    QByteArray flipped = good;
    flipped[good.size() / 2] = char(flipped[good.size() / 2] ^ 0x5a);
    QByteArray newer = good;
    newer[8] = 9;
    // a well-formed header and checksum around an impossible page count
    QByteArray crafted;
    {
        QByteArray payload;
        payload.append(QByteArray::fromHex("00000000"));     // title ""
        payload.append(QByteArray::fromHex("00000000"));     // no fonts
        payload.append(QByteArray::fromHex("ffffff7f"));     // 2^31 pages
        crafted = good.left(8);
        crafted.append(QByteArray::fromHex("01000000"));
        const quint32 n = quint32(payload.size());
        crafted.append(char(n & 0xff)).append(char(0)).append(char(0)).append(char(0));
        // CRC of the payload, computed by encoding a report and borrowing its routine is not
        // possible here; a wrong checksum is refused as well, which is all that matters.
        crafted.append(QByteArray::fromHex("00000000"));
        crafted.append(payload);
    }

    const struct {
        QString name;
        QByteArray data;
        QString expect;
    } cases[] = {
        {"empty.QRP", QByteArray(), "is not a Quenpm prepared report (QRP) file."},
        {"text.QRP", QByteArray("Just some text that is no report at all\n"), "is not a Quenpm prepared report (QRP) file."},
        {"truncated.QRP", good.left(good.size() - 17), "This report file is damaged"},
        {"header-only.QRP", good.left(12), "This report file is damaged"},
        {"flipped.QRP", flipped, "This report file is damaged"},
        {"newer.QRP", newer, "was saved by a newer version of Quenpm"},
        {"crafted.QRP", crafted, "This report file is damaged"},
    };
    for (const auto& c : cases) {
        ScriptedMessages msgs;
        PreparedReport out;
        out.title = QStringLiteral("untouched");
        const QString path = write(c.name, c.data);
        EXPECT_FALSE(openQrpFile(path, out)) << c.name.toStdString();
        EXPECT_EQ(out.title, QStringLiteral("untouched"));
        ASSERT_EQ(msgs.texts.size(), 1) << c.name.toStdString();
        EXPECT_EQ(msgs.kinds[0], quen::MsgKind::Error);
        EXPECT_TRUE(msgs.texts[0].contains(c.expect)) << msgs.texts[0].toStdString();
        EXPECT_TRUE(msgs.texts[0].contains(c.name)) << msgs.texts[0].toStdString();
    }
    {
        ScriptedMessages msgs;
        PreparedReport out;
        EXPECT_FALSE(openQrpFile(dir.filePath(QStringLiteral("missing.QRP")), out));
        ASSERT_EQ(msgs.texts.size(), 1);
        EXPECT_TRUE(msgs.texts[0].contains(QStringLiteral("cannot be opened")));
    }
    // neither a device that never ends nor the database itself is read
    {
        const QByteArray before = qgetenv("QUENPM_DB");
        const QString db = dir.filePath(QStringLiteral("quenpm.sqlite"));
        write(QStringLiteral("quenpm.sqlite"), QByteArray("SQLite format 3"));
        qputenv("QUENPM_DB", QFile::encodeName(db));
        for (const QString& path : {QStringLiteral("/dev/zero"), db}) {
            ScriptedMessages msgs;
            PreparedReport out;
            EXPECT_FALSE(openQrpFile(path, out)) << path.toStdString();
            ASSERT_EQ(msgs.texts.size(), 1);
            EXPECT_TRUE(msgs.texts[0].contains(QStringLiteral("is not a Quenpm prepared report (QRP) file.")));
        }
        if (before.isEmpty())
            qunsetenv("QUENPM_DB");
        else
            qputenv("QUENPM_DB", before);
    }
    // every truncation of a good file is refused, none crashes
    for (qsizetype len = 0; len < good.size(); len += std::max<qsizetype>(1, good.size() / 97)) {
        PreparedReport out;
        QString err;
        EXPECT_FALSE(decodeQrp(good.left(len), out, &err));
        EXPECT_FALSE(err.isEmpty());
    }
}

TEST(PdfExport, HeadlessPdfHoldsTheTexts)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext not installed";
    const PreparedReport pr = sampleReport();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.pdf"));
    QString err;
    ASSERT_TRUE(writePdf(pr, path, &err)) << err.toStdString();
    const QString text = pdfText(path);
    if (const QString keep = qEnvironmentVariable("QUEN_REPORT_KEEP"); !keep.isEmpty())
        QFile::copy(path, keep + QStringLiteral("/sample.pdf"));
    EXPECT_TRUE(text.contains(QStringLiteral("Quen Sample Heading")));
    EXPECT_TRUE(text.contains(QStringLiteral("Crop 1 ")));
    EXPECT_TRUE(text.contains(QStringLiteral("Crop 90")));
    EXPECT_TRUE(text.contains(QStringLiteral("Date: 1/2/2026")));
    EXPECT_TRUE(text.contains(QStringLiteral("Page: %1").arg(pr.pageCount())));
    EXPECT_TRUE(text.contains(QStringLiteral("Normal Year (50% chance)")));   // chart text, as vector drawing
    EXPECT_EQ(text.count(QLatin1Char('\f')), pr.pageCount());
}

TEST(PreviewWindow, NavigatesZoomsSavesOpensAndSetsTheArrowCursor)
{
    const PreparedReport pr = sampleReport();
    QTemporaryDir dir;
    QApplication::setOverrideCursor(Qt::WaitCursor);   // the caller's hourglass
    {
        PreviewWindow w(pr);
        w.resize(800, 700);
        w.show();
        ASSERT_TRUE(QApplication::overrideCursor());
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);

        EXPECT_EQ(w.currentPage(), 0);
        EXPECT_FALSE(w.actionPrior()->isEnabled());
        w.actionNext()->trigger();
        EXPECT_EQ(w.currentPage(), 1);
        w.actionLast()->trigger();
        EXPECT_EQ(w.currentPage(), pr.pageCount() - 1);
        EXPECT_FALSE(w.actionNext()->isEnabled());
        w.nextPage();
        EXPECT_EQ(w.currentPage(), pr.pageCount() - 1);
        w.actionFirst()->trigger();
        EXPECT_EQ(w.currentPage(), 0);

        w.actionActual()->trigger();
        EXPECT_EQ(w.zoom(), PreviewWindow::Zoom::Actual);
        const double actual = w.zoomDpi();
        w.actionFitPage()->trigger();
        const double page = w.zoomDpi();
        w.actionFitWidth()->trigger();
        const double width = w.zoomDpi();
        EXPECT_LT(page, width);
        EXPECT_GT(actual, 0);
        EXPECT_NEAR(w.pageImage().width(), kPaperWidth * width / 72.0, 1.0);

        // save, then open a damaged file (refused, pages kept), then the saved one
        const QString saved = dir.filePath(QStringLiteral("p.QRP"));
        ASSERT_TRUE(w.saveTo(saved));
        const QString bad = dir.filePath(QStringLiteral("bad.QRP"));
        {
            QFile f(bad);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("QUENQRP\x1a garbage");
        }
        ScriptedMessages msgs;
        w.lastPage();
        EXPECT_FALSE(w.openFrom(bad));
        EXPECT_EQ(msgs.texts.size(), 1);
        EXPECT_EQ(w.report(), pr);
        EXPECT_EQ(w.currentPage(), pr.pageCount() - 1);
        EXPECT_TRUE(w.openFrom(saved));
        EXPECT_EQ(w.report(), pr);
        EXPECT_EQ(w.currentPage(), 0);

        const QString pdf = dir.filePath(QStringLiteral("p.pdf"));
        EXPECT_TRUE(w.exportPdfTo(pdf));
        EXPECT_GT(QFile(pdf).size(), 1000);
        w.close();
    }
    ASSERT_TRUE(QApplication::overrideCursor());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
}

TEST(PdfExport, PrinterPathHonoursThePageRange)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext not installed";
    const PreparedReport pr = sampleReport();
    ASSERT_GE(pr.pageCount(), 3);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("printed.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, pr);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    ASSERT_TRUE(printReport(pr, printer));
    const QString text = pdfText(path);
    EXPECT_EQ(text.count(QLatin1Char('\f')), 2);
    EXPECT_FALSE(text.contains(QStringLiteral("Page: 1")));
    EXPECT_TRUE(text.contains(QStringLiteral("Page: 2")));
    EXPECT_TRUE(text.contains(QStringLiteral("Page: 3")));
    EXPECT_TRUE(text.contains(QStringLiteral("Quen Sample Heading")));
}

namespace {

// A chart with the parts report charts have: bars, a line with points and
// labels, axis titles (one turned), a legend and a two-line title.
QByteArray sampleChartPicture(const QSizeF& size)
{
    QChart chart;
    auto* set = new QBarSet(QStringLiteral("Irrigation Required"));
    *set << 1 << 2 << 3.5 << 2;
    set->setColor(Qt::red);
    auto* bars = new QBarSeries;
    bars->append(set);
    chart.addSeries(bars);
    auto* line = new QLineSeries;
    line->setName(QStringLiteral("Kc"));
    for (int i = 0; i < 40; ++i)
        line->append(i / 10.0, 1 + std::sin(i / 6.0));
    line->setPointsVisible(true);
    line->setPointLabelsVisible(true);
    line->setPointLabelsFormat(QStringLiteral("@yPoint"));
    chart.addSeries(line);
    chart.setTitle(QStringLiteral("<center>Quen<br>Normal Year (50% chance)</center>"));
    chart.createDefaultAxes();
    for (QAbstractAxis* a : chart.axes())
        a->setTitleText(a->orientation() == Qt::Vertical ? QStringLiteral("inches") : QStringLiteral("Month"));
    const QByteArray data = renderChartPicture(&chart, size);
    chart.removeAllSeries();
    return data;
}

// Share of pixels that differ clearly between two images of one size.
double differingShare(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 1.0;
    qint64 n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 64 || std::abs(qGreen(p) - qGreen(q)) > 64
                || std::abs(qBlue(p) - qBlue(q)) > 64)
                ++n;
        }
    return double(n) / (a.width() * a.height());
}

} // namespace

TEST(ChartPicture, DrawsARecordedChartAsQPicturePlaysIt)
{
    const QSizeF size(kPrintWidth, 260);
    const QByteArray data = sampleChartPicture(size);
    ASSERT_TRUE(chartPictureSound(data));
    for (const double dpi : {72.0, 150.0}) {
        const QSize px(qRound(size.width() * dpi / 72), qRound(size.height() * dpi / 72));
        QImage ours(px, QImage::Format_ARGB32_Premultiplied), qt(px, QImage::Format_ARGB32_Premultiplied);
        for (QImage* img : {&ours, &qt}) {
            img->setDotsPerMeterX(qRound(dpi / 0.0254));
            img->setDotsPerMeterY(qRound(dpi / 0.0254));
            img->fill(Qt::white);
        }
        {
            QPainter p(&ours);
            p.scale(dpi / 72, dpi / 72);
            EXPECT_TRUE(playChartPicture(p, data));
        }
        {
            // the trusted recording, as the report drew it before it had a reader of its own
            QPicture pic;
            pic.setData(data.constData(), uint(data.size()));
            QPainter p(&qt);
            p.scale(pic.logicalDpiX() / 72.0, pic.logicalDpiY() / 72.0);
            p.drawPicture(QPointF(0, 0), pic);
        }
        EXPECT_LT(differingShare(ours, qt), 0.002) << dpi;
        if (const QString keep = qEnvironmentVariable("QUEN_REPORT_KEEP"); !keep.isEmpty()) {
            ours.save(keep + QStringLiteral("/chart-ours-%1.png").arg(dpi));
            qt.save(keep + QStringLiteral("/chart-qt-%1.png").arg(dpi));
        }
    }
}

namespace {

// QPicture data around the given records (command, parameter bytes).
QByteArray pictureOf(const QList<std::pair<quint8, QByteArray>>& records, quint16 format = 20)
{
    QByteArray body;
    QDataStream s(&body, QIODevice::WriteOnly);
    s << quint8(30) << quint8(20) << qint32(0) << qint32(0) << qint32(540) << qint32(220)
      << quint32(records.size() + 1);
    for (const auto& [cmd, params] : records) {
        s << cmd;
        if (params.size() < 255)
            s << quint8(params.size());
        else
            s << quint8(255) << quint32(params.size());
        s.writeRawData(params.constData(), int(params.size()));
    }
    s << quint8(31) << quint8(0);
    QByteArray tail;
    QDataStream t(&tail, QIODevice::WriteOnly);
    t << format << quint16(0);
    tail += body;
    QByteArray pic("QPIC");
    QDataStream h(&pic, QIODevice::Append);
    h << quint16(qChecksum(QByteArrayView(tail)));
    return pic + tail;
}

template <class... T> QByteArray params(const T&... v)
{
    QByteArray b;
    QDataStream s(&b, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    (s << ... << v);
    return b;
}

PreparedReport onePage(const QList<DrawOp>& ops, QSizeF size = QSizeF(kPaperWidth, kPaperHeight))
{
    PreparedReport r;
    r.title = QStringLiteral("t");
    r.fonts.append(FontSpec(10));
    ReportPage page;
    page.size = size;
    page.ops = ops;
    r.pages.append(page);
    return r;
}

DrawOp chartOp(const QByteArray& picture)
{
    DrawOp op;
    op.kind = DrawOp::Picture;
    op.rect = QRectF(36, 36, 540, 220);
    op.picture = picture;
    return op;
}

} // namespace

TEST(QrpFile, UnsoundChartsPagesAndElementsAreRefusedNotDrawn)
{
    // what a sound recording of those commands looks like is accepted
    const QByteArray polygon = params(QPolygonF({QPointF(0, 0), QPointF(100, 0), QPointF(50, 80)}), qint8(1));
    ASSERT_TRUE(chartPictureSound(pictureOf({{13, polygon}})));
    QByteArray hugePolygon = params(quint32(0x7fffffff)) + QByteArray(16, '\0') + params(qint8(1));
    QByteArray farPolygon = params(QPolygonF({QPointF(0, 0), QPointF(1e9, 0), QPointF(50, 80)}), qint8(1));
    QByteArray nested;
    for (int i = 0; i < 2000; ++i)
        nested = params(quint8(30), quint8(4), quint32(1)) + nested;
    const QByteArray hugeFont = params(QPointF(10, 10), QStringLiteral("Quen"), QFont(QStringLiteral("Sans"), 5000),
                                       quint32(0), 1.0, 0.0);
    const QByteArray scaled = params(QTransform::fromScale(1e6, 1e6), qint8(0));
    QRegion many;
    for (int i = 0; i < 500; ++i)
        many += QRect(i * 2, 0, 1, 1);
    const QByteArray clip = params(many, qint8(2));
    const QByteArray thinDashes = params(QPen(QBrush(Qt::black), 0.001, Qt::DotLine), qint8(0)).chopped(1);
    const QByteArray image =
        params(QRectF(0, 0, 10, 10), QImage(10, 10, QImage::Format_RGB32), QRectF(0, 0, 10, 10), quint32(0));

    const struct {
        const char* what;
        PreparedReport rep;
    } cases[] = {
        {"polygon count past the data", onePage({chartOp(pictureOf({{13, hugePolygon}}))})},
        {"polygon far off the page", onePage({chartOp(pictureOf({{13, farPolygon}}))})},
        {"nested recordings", onePage({chartOp(pictureOf({{30, nested}}))})},
        {"5000 pt font", onePage({chartOp(pictureOf({{21, hugeFont}}))})},
        {"million-fold matrix", onePage({chartOp(pictureOf({{55, scaled}}))})},
        {"clip of 500 rectangles", onePage({chartOp(pictureOf({{61, clip}}))})},
        {"dots of a thousandth of a point", onePage({chartOp(pictureOf({{46, thinDashes}}))})},
        {"an embedded image", onePage({chartOp(pictureOf({{18, image}}))})},
        {"another recording format", onePage({chartOp(pictureOf({{13, polygon}}, 19))})},
        {"a page a million points tall", onePage({}, QSizeF(612, 1e6))},
        {"a text far below the page", [] {
             DrawOp t;
             t.rect = QRectF(0, 5e5, 100, 12);
             t.text = QStringLiteral("x");
             return onePage({t});
         }()},
        {"a megabyte of text on one page", [] {
             QList<DrawOp> ops;
             for (int i = 0; i < 300; ++i) {
                 DrawOp t;
                 t.rect = QRectF(0, i, 100, 12);
                 t.text = QString(4000, QLatin1Char('x'));
                 ops << t;
             }
             return onePage(ops);
         }()},
        {"a frame with a 500 pt pen", [] {
             DrawOp f;
             f.kind = DrawOp::Rect;
             f.rect = QRectF(0, 0, 100, 100);
             f.penWidth = 500;
             return onePage({f});
         }()},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        const QString path = dir.filePath(QStringLiteral("case.QRP"));
        ASSERT_TRUE(saveQrp(c.rep, path, nullptr));
        ScriptedMessages msgs;
        PreparedReport out;
        EXPECT_FALSE(openQrpFile(path, out)) << c.what;
        ASSERT_EQ(msgs.texts.size(), 1) << c.what;
        EXPECT_TRUE(msgs.texts[0].startsWith(QStringLiteral("This report file is damaged"))) << c.what;
        EXPECT_TRUE(msgs.texts[0].contains(QStringLiteral("case.QRP"))) << c.what;
        // and drawn anyway (a report prepared in memory), an unsound chart draws nothing
        QImage img = renderPageImage(c.rep, 0, 20);
        EXPECT_LE(qint64(img.width()) * img.height(), 11000000LL) << c.what;
    }
    // a sound file of one page with that polygon opens
    const QString path = dir.filePath(QStringLiteral("sound.QRP"));
    ASSERT_TRUE(saveQrp(onePage({chartOp(pictureOf({{13, polygon}}))}), path, nullptr));
    PreparedReport out;
    QString err;
    EXPECT_TRUE(loadQrp(path, out, &err)) << err.toStdString();
}

namespace {

// Writes past limitBytes fail as on a full disk, for as long as it lives.
class FullDisk {
public:
    explicit FullDisk(rlim_t limitBytes)
    {
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit lim = m_old;
        lim.rlim_cur = limitBytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_old{};
    void (*m_handler)(int) = nullptr;
};

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace

TEST(Outputs, AFullDiskKeepsTheEarlierFileAndTheFailureIsSaid)
{
    const PreparedReport pr = sampleReport();
    CsvTable table{QStringLiteral("Crops"), {QStringLiteral("Crop"), QStringLiteral("IR Season (inches)")}, {}};
    for (int i = 0; i < 200; ++i)
        table.rows << QStringList{QStringLiteral("Crop %1").arg(i), QStringLiteral("12.34")};
    QTemporaryDir dir;
    const QByteArray earlier("the earlier file, kept");
    const struct {
        const char* name;
        std::function<bool(const QString&, QString*)> write;
    } outputs[] = {
        {"report.pdf", [&](const QString& p, QString* e) { return writePdf(pr, p, e); }},
        {"report.QRP", [&](const QString& p, QString* e) { return saveQrp(pr, p, e); }},
        {"table.csv", [&](const QString& p, QString* e) { return writeCsv({table}, p, e); }},
    };
    for (const auto& o : outputs) {
        const QString path = dir.filePath(QString::fromLatin1(o.name));
        writeFile(path, earlier);
        QString err;
        bool ok;
        {
            const FullDisk full(1500);
            ok = o.write(path, &err);
        }
        EXPECT_FALSE(ok) << o.name;
        EXPECT_EQ(contents(path), earlier) << o.name;
        EXPECT_TRUE(err.contains(path)) << err.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("left as it was"))) << err.toStdString();
        // and with room, the file is replaced whole
        EXPECT_TRUE(o.write(path, &err)) << err.toStdString();
        EXPECT_GT(contents(path).size(), 1500) << o.name;
    }
    // nothing half-written is left behind
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);

    // the preview says so through the message service
    const QString pdf = dir.filePath(QStringLiteral("preview.pdf"));
    writeFile(pdf, earlier);
    PreviewWindow w(pr);
    ScriptedMessages msgs;
    bool exported;
    {
        const FullDisk full(1500);
        exported = w.exportPdfTo(pdf);
    }
    EXPECT_FALSE(exported);
    ASSERT_EQ(msgs.texts.size(), 1);
    EXPECT_EQ(msgs.kinds[0], quen::MsgKind::Error);
    EXPECT_TRUE(msgs.texts[0].startsWith(QStringLiteral("Cannot write the file"))) << msgs.texts[0].toStdString();
    EXPECT_EQ(contents(pdf), earlier);
}

TEST(Outputs, TheDatabaseAndItsSideFilesAreNeverATarget)
{
    const PreparedReport pr = sampleReport();
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("quenpm.sqlite"));
    const QByteArray data("SQLite format 3 -- stands in for the database");
    writeFile(db, data);
    writeFile(db + QStringLiteral("-wal"), data);
    ASSERT_TRUE(QFile::link(db, dir.filePath(QStringLiteral("link.pdf"))));
    const QByteArray hard = QFile::encodeName(dir.filePath(QStringLiteral("hard.pdf")));
    ASSERT_EQ(::link(QFile::encodeName(db).constData(), hard.constData()), 0);
    const QByteArray before = qgetenv("QUENPM_DB");
    qputenv("QUENPM_DB", QFile::encodeName(db));
    for (const QString& target : {db, db + QStringLiteral("-wal"), db + QStringLiteral("-journal"),
                                  dir.filePath(QStringLiteral("link.pdf")), dir.filePath(QStringLiteral("hard.pdf")),
                                  dir.path() + QStringLiteral("/./quenpm.sqlite-shm")}) {
        QString err;
        EXPECT_FALSE(writePdf(pr, target, &err)) << target.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("Quenpm database"))) << err.toStdString();
        EXPECT_FALSE(saveQrp(pr, target, &err)) << target.toStdString();
        EXPECT_FALSE(writeCsv({}, target, &err)) << target.toStdString();
    }
    if (before.isEmpty())
        qunsetenv("QUENPM_DB");
    else
        qputenv("QUENPM_DB", before);
    EXPECT_EQ(contents(db), data);
    EXPECT_EQ(contents(db + QStringLiteral("-wal")), data);
    EXPECT_FALSE(QFile::exists(db + QStringLiteral("-journal")));
    // another file of that folder is written
    QString err;
    EXPECT_TRUE(writePdf(pr, dir.filePath(QStringLiteral("report.pdf")), &err)) << err.toStdString();
}
