#include "TextMeasure.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QTextLayout>

namespace quen::report {

QFont FontSpec::toFont() const
{
    QFont f(family);
    f.setPointSizeF(size > 0 ? size : 10.0);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(true);
    return f;
}

int PreparedReport::fontIndex(const FontSpec& f)
{
    const qsizetype i = fonts.indexOf(f);
    if (i >= 0)
        return int(i);
    fonts.append(f);
    return int(fonts.size() - 1);
}

namespace detail {

namespace {

constexpr double kMeasureDpi = 1200.0;
constexpr double kPxPerPt = kMeasureDpi / 72.0;

QImage& measureDevice()
{
    static QImage img = [] {
        QImage i(1, 1, QImage::Format_ARGB32);
        const int dpm = qRound(kMeasureDpi / 0.0254);
        i.setDotsPerMeterX(dpm);
        i.setDotsPerMeterY(dpm);
        return i;
    }();
    return img;
}

struct Cached {
    QFont font;
    QFontMetricsF metrics;
    FontMeasure m;
};

QString keyOf(const FontSpec& f)
{
    return QStringLiteral("%1|%2|%3%4%5").arg(f.family).arg(f.size).arg(int(f.bold)).arg(int(f.italic)).arg(int(f.underline));
}

Cached& cached(const FontSpec& f)
{
    static QHash<QString, std::shared_ptr<Cached>> cache;
    const QString key = keyOf(f);
    auto it = cache.find(key);
    if (it != cache.end())
        return **it;
    QFont font = f.toFont();
    auto c = std::make_shared<Cached>(Cached{font, QFontMetricsF(font, &measureDevice()), {}});
    c->m.lineHeight = c->metrics.lineSpacing() / kPxPerPt;
    c->m.ascent = c->metrics.ascent() / kPxPerPt;
    cache.insert(key, c);
    return *c;
}

} // namespace

FontMeasure measureFont(const FontSpec& f) { return cached(f).m; }

double textWidth(const FontSpec& f, const QString& text)
{
    return cached(f).metrics.horizontalAdvance(text) / kPxPerPt;
}

QStringList breakLines(const FontSpec& f, const QString& text, double width, bool wrap)
{
    QStringList out;
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QStringList paras = t.split(QLatin1Char('\n'));
    for (const QString& para : paras) {
        if (!wrap || width <= 0 || para.isEmpty() || textWidth(f, para) <= width) {
            out.append(para);
            continue;
        }
        Cached& c = cached(f);
        QTextLayout layout(para, c.font, &measureDevice());
        QTextOption opt;
        opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(opt);
        layout.beginLayout();
        for (;;) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(width * kPxPerPt);
        }
        layout.endLayout();
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            QString s = para.mid(line.textStart(), line.textLength());
            while (s.endsWith(QLatin1Char(' ')))
                s.chop(1);
            out.append(s);
        }
    }
    return out;
}

} // namespace detail
} // namespace quen::report
