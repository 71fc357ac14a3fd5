#include "Report.h"

#include <QChart>
#include <QGraphicsScene>
#include <QLocale>
#include <QPainter>
#include <QPicture>
#include <algorithm>
#include <cmath>

#include "ChartRender.h"
#include "TextMeasure.h"

#include "TableDataSet.h"

namespace quen::report {

using detail::breakLines;
using detail::measureFont;
using detail::textWidth;

// ---------------------------------------------------------------- elements

QString Label::printText(const PrintState&) const { return m_text; }

QString DataText::printText(const PrintState& st) const
{
    QString value;
    if (st.row) {
        if (m_formatter)
            value = m_formatter(st.row->value(m_field));
        else if (!m_pattern.isEmpty()) {
            const QVariant v = st.row->value(m_field);
            bool ok = false;
            const double d = v.toDouble(&ok);
            value = (v.isNull() || !ok) ? QString() : formatFloat(m_pattern, d);
        } else
            value = st.row->text(m_field);
    }
    return text() + value;
}

QString SystemValue::printText(const PrintState& st) const
{
    const QLocale c = QLocale::c();
    switch (m_value) {
    case Date: return text() + c.toString(st.printTime.date(), QStringLiteral("M/d/yyyy"));
    case Time: return text() + c.toString(st.printTime.time(), QStringLiteral("h:mm AP"));
    case DateTime: return text() + c.toString(st.printTime, QStringLiteral("M/d/yyyy h:mm AP"));
    case PageNumber: return text() + QString::number(st.page);
    case PageCount:
    case PageOfPages: return text(); // completed once the page count is known
    case ReportTitle: return text() + (st.report ? st.report->title() : QString());
    case RecordNumber: return text() + QString::number(st.record);
    }
    return text();
}

ChartElement::ChartElement(const QRectF& r) : Element(Kind::Chart, r) {}
ChartElement::~ChartElement() = default;

QChart* ChartElement::chart()
{
    if (!m_chart) {
        m_chart = std::make_unique<QChart>();
        m_chart->setBackgroundRoundness(0);
        m_chart->setDropShadowEnabled(false);
    }
    return m_chart.get();
}

// ---------------------------------------------------------------- bands

template <class T> T* Band::add(std::unique_ptr<T> e)
{
    T* raw = e.get();
    raw->m_band = this;
    m_elements.push_back(std::move(e));
    return raw;
}

Label* Band::addLabel(double x, double y, const QString& text, const FontSpec& font)
{
    return addLabel(QRectF(x, y, 0, 0), text, font);
}

Label* Band::addLabel(const QRectF& r, const QString& text, const FontSpec& font, Qt::Alignment align)
{
    return add(std::make_unique<Label>(r, text, font, align));
}

DataText* Band::addField(double x, double y, const QString& field, const FontSpec& font)
{
    return addField(QRectF(x, y, 0, 0), field, font);
}

DataText* Band::addField(const QRectF& r, const QString& field, const FontSpec& font, Qt::Alignment align)
{
    return add(std::make_unique<DataText>(r, field, font, align));
}

SystemValue* Band::addSystemValue(const QRectF& r, SystemValue::Value v, const QString& prefix,
                                  const FontSpec& font, Qt::Alignment align)
{
    return add(std::make_unique<SystemValue>(r, v, prefix, font, align));
}

LineElement* Band::addHLine(double x, double y, double width, double penWidth)
{
    return add(std::make_unique<LineElement>(QRectF(x, y, width, 0), penWidth));
}

LineElement* Band::addVLine(double x, double y, double height, double penWidth)
{
    return add(std::make_unique<LineElement>(QRectF(x, y, 0, height), penWidth));
}

LineElement* Band::addLine(const QPointF& from, const QPointF& to, double penWidth)
{
    return add(std::make_unique<LineElement>(QRectF(from, to), penWidth));
}

FrameElement* Band::addFrame(const QRectF& r, double penWidth, const QColor& fill)
{
    return add(std::make_unique<FrameElement>(r, penWidth, fill));
}

ChartElement* Band::addChart(const QRectF& r)
{
    return add(std::make_unique<ChartElement>(r));
}

Group::Group(Report* report, KeyFunction key)
    : m_key(std::move(key)), m_header(report, BandType::GroupHeader), m_footer(report, BandType::GroupFooter)
{
}

// ---------------------------------------------------------------- report

Report::Report(const QString& title) : m_title(title) {}
Report::~Report() = default;

void Report::setDataSet(DataSet* ds)
{
    m_ownedDataSet.reset();
    m_dataSet = ds;
}

void Report::setTable(TTable* table)
{
    m_ownedDataSet = table ? std::make_unique<TableDataSet>(table) : nullptr;
    m_dataSet = m_ownedDataSet.get();
}

Group& Report::addGroup(const QString& field)
{
    return addGroup([field](const DataSet& ds) { return ds.value(field); });
}

Group& Report::addGroup(Group::KeyFunction key)
{
    m_groups.push_back(std::make_unique<Group>(this, std::move(key)));
    return *m_groups.back();
}

QVariant Report::value(const QString& field) const
{
    return m_state.row ? m_state.row->value(field) : QVariant();
}

QString Report::fieldText(const QString& field) const
{
    return m_state.row ? m_state.row->text(field) : QString();
}

struct Report::Layout {
    QList<DrawOp> ops;       // band-relative
    double height = 0;
    std::vector<std::pair<int, const SystemValue*>> fixups;   // op index, element
};

namespace {

QRgb rgbOf(const QColor& c) { return c.isValid() ? c.rgba() : 0u; }

bool sameKey(const QVariant& a, const QVariant& b)
{
    if (a.isNull() != b.isNull())
        return false;
    return a == b;
}

} // namespace

void Report::layoutBand(Band& band, Layout& lay, PreparedReport& out)
{
    const auto& els = band.m_elements;
    const size_t n = els.size();

    // First pass: how far each word-wrapped label grows.
    struct Item {
        Element* e;
        QStringList lines;
        double lineH = 0;
        double textH = 0;
        double growth = 0;
        double shift = 0;
        int font = -1;
    };
    std::vector<Item> items(n);
    for (size_t i = 0; i < n; ++i) {
        Item& it = items[i];
        it.e = els[i].get();
        auto* lbl = dynamic_cast<Label*>(it.e);
        if (!lbl || !lbl->isVisible())
            continue;
        const FontSpec f = lbl->font();
        const QRectF r = lbl->rect();
        it.font = out.fontIndex(f);
        it.lines = breakLines(f, lbl->printText(m_state), r.width(), lbl->wordWrap());
        it.lineH = measureFont(f).lineHeight;
        it.textH = it.lineH * it.lines.size();
        const double boxH = std::max(r.height(), it.lineH);
        if (it.textH > boxH + 0.01)
            it.growth = it.textH - boxH;
    }

    // Second pass: elements standing below a grown label move down.
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return els[a]->rect().top() < els[b]->rect().top(); });
    double height = band.height();
    for (size_t oi = 0; oi < n; ++oi) {
        Item& it = items[order[oi]];
        const QRectF r = it.e->rect().normalized();
        for (size_t pj = 0; pj < oi; ++pj) {
            const Item& s = items[order[pj]];
            if (s.growth <= 0)
                continue;
            const QRectF sr = s.e->rect();
            const double sBottom = sr.top() + std::max(sr.height(), s.lineH);
            if (r.top() >= sBottom - 0.01)
                it.shift = std::max(it.shift, s.shift + s.growth);
        }
        // A band holds its elements' boxes as declared; text that runs past
        // a box only widens the band when it wraps onto further lines.
        double bottom = r.bottom();
        if (it.growth > 0)
            bottom = r.top() + std::max(r.height(), it.lineH) + it.growth;
        height = std::max(height, bottom + it.shift);
    }
    // The band's own bottom edge moves down with what grew above it.
    double bandShift = 0;
    for (const Item& it : items)
        if (it.growth > 0)
            bandShift = std::max(bandShift, it.shift + it.growth);
    lay.height = std::max(height, band.height() + bandShift);

    // Third pass: drawing operations.
    for (size_t i = 0; i < n; ++i) {
        Item& it = items[i];
        Element* e = it.e;
        if (!e->isVisible())
            continue;
        QRectF r = e->rect().translated(0, it.shift);
        switch (e->kind()) {
        case Element::Kind::Label:
        case Element::Kind::DataText:
        case Element::Kind::SystemValue: {
            auto* lbl = static_cast<Label*>(e);
            const Qt::Alignment a = lbl->alignment();
            double y = r.top();
            const double boxH = std::max(r.height(), it.lineH) + it.growth;
            if (it.textH < boxH) {
                if (a & Qt::AlignVCenter)
                    y += (boxH - it.textH) / 2;
                else if (a & Qt::AlignBottom)
                    y += boxH - it.textH;
            }
            for (const QString& line : std::as_const(it.lines)) {
                DrawOp op;
                op.kind = DrawOp::Text;
                const double w = r.width() > 0 ? r.width() : textWidth(lbl->font(), line);
                op.rect = QRectF(r.left(), y, w, it.lineH);
                op.text = line;
                op.font = it.font;
                op.align = quint32((a & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
                op.color = rgbOf(lbl->color());
                lay.ops.append(op);
                y += it.lineH;
            }
            if (e->kind() == Element::Kind::SystemValue) {
                auto* sv = static_cast<SystemValue*>(e);
                if ((sv->value() == SystemValue::PageCount || sv->value() == SystemValue::PageOfPages) && !it.lines.isEmpty())
                    lay.fixups.emplace_back(int(lay.ops.size() - 1), sv);
            }
            break;
        }
        case Element::Kind::Line: {
            auto* ln = static_cast<LineElement*>(e);
            DrawOp op;
            op.kind = DrawOp::Line;
            op.rect = QRectF(e->rect().topLeft() + QPointF(0, it.shift), e->rect().bottomRight() + QPointF(0, it.shift));
            op.color = rgbOf(ln->color());
            op.penWidth = ln->penWidth();
            lay.ops.append(op);
            break;
        }
        case Element::Kind::Frame: {
            auto* fr = static_cast<FrameElement*>(e);
            DrawOp op;
            op.kind = DrawOp::Rect;
            op.rect = r.normalized();
            op.color = rgbOf(fr->color());
            op.fill = rgbOf(fr->fill());
            op.penWidth = fr->penWidth();
            lay.ops.append(op);
            break;
        }
        case Element::Kind::Chart: {
            auto* ch = static_cast<ChartElement*>(e);
            DrawOp op;
            op.kind = DrawOp::Picture;
            op.rect = r.normalized();
            op.picture = renderChartPicture(ch->chart(), op.rect.size());
            lay.ops.append(op);
            break;
        }
        }
    }
}

// Lays out and places one band; returns whether it printed.
bool Report::printBand(Band& band, PreparedReport& out, bool forcePlace, double keepWith)
{
    if (!band.isEnabled() || !band.hasContent())
        return false;
    bool printIt = true;
    if (band.m_beforePrint)
        band.m_beforePrint(band, printIt);
    if (!printIt)
        return false;

    Layout lay;
    layoutBand(band, lay, out);

    const bool isFrame = band.type() == BandType::PageHeader || band.type() == BandType::PageFooter;
    if (!forcePlace && !isFrame) {
        const double footer = m_pageFooter.isEnabled() ? m_pageFooter.height() : 0.0;
        const double limit = kPaperHeight - kMargin - footer;
        if (m_y + lay.height + keepWith > limit + 0.01 && m_pageHasBody) {
            endPage(out);
            startPage(out);
            // the band may have changed with the page number: lay it out again
            lay = Layout();
            layoutBand(band, lay, out);
        }
    }

    ReportPage& page = out.pages.last();
    const double dx = kMargin;
    const double dy = m_y;
    for (DrawOp op : std::as_const(lay.ops)) {
        op.rect.translate(dx, dy);
        page.ops.append(op);
    }
    const int base = int(page.ops.size() - lay.ops.size());
    for (const auto& [idx, el] : lay.fixups)
        m_fixups.push_back({int(out.pages.size() - 1), base + idx, el});
    m_y += lay.height;
    // Headers lead into what follows them; they alone never make a page
    // worth leaving for the next band.
    if (!isFrame && band.type() != BandType::ColumnHeader && band.type() != BandType::GroupHeader)
        m_pageHasBody = true;
    return true;
}

void Report::startPage(PreparedReport& out)
{
    out.pages.append(ReportPage());
    ++m_state.page;
    m_y = kMargin;
    m_pageHasBody = false;
    m_inPageFrame = true;
    printBand(m_pageHeader, out, true);
    const bool title = m_state.page == 1 && printBand(m_titleBand, out, true);
    printBand(m_columnHeader, out, true);
    if (m_state.page > 1) {
        for (auto& g : m_groups)
            if (g->m_repeatHeader && g->m_open)
                printBand(g->m_header, out, true);
    }
    // Only the title counts as content: a band that does not fit under the
    // headers of a fresh page is placed there all the same.
    m_pageHasBody = title;
}

void Report::endPage(PreparedReport& out)
{
    if (m_pageFooter.isEnabled() && m_pageFooter.hasContent()) {
        m_y = kPaperHeight - kMargin - m_pageFooter.height();
        printBand(m_pageFooter, out, true);
    }
}

PreparedReport Report::prepare()
{
    PreparedReport out;
    out.title = m_title;
    m_state = PrintState();
    m_state.report = this;
    m_state.printTime = m_fixedTime.isValid() ? m_fixedTime : QDateTime::currentDateTime();
    m_fixups.clear();
    for (auto& g : m_groups) {
        g->m_value = QVariant();
        g->m_count = 0;
        g->m_open = false;
    }

    DataSet* ds = m_dataSet;
    m_state.row = ds;
    startPage(out);

    if (!ds) {
        m_state.record = 1;
        printBand(m_detail, out);
    } else {
        const size_t ng = m_groups.size();
        RowSnapshot last;
        std::vector<QVariant> prev(ng);
        bool firstRow = true;
        ds->first();
        while (!ds->eof()) {
            std::vector<QVariant> keys(ng);
            for (size_t i = 0; i < ng; ++i)
                keys[i] = m_groups[i]->m_key(*ds);
            size_t changed = ng;   // outermost group whose key changed
            if (firstRow)
                changed = 0;
            else
                for (size_t i = 0; i < ng; ++i)
                    if (!sameKey(keys[i], prev[i])) {
                        changed = i;
                        break;
                    }
            if (!firstRow && changed < ng) {
                m_state.row = &last;
                for (size_t i = ng; i-- > changed;) {
                    printBand(m_groups[i]->m_footer, out);
                    m_groups[i]->m_open = false;
                }
                m_state.row = ds;
            }
            for (size_t i = changed; i < ng; ++i) {
                m_groups[i]->m_value = keys[i].isNull() ? QVariant(QString()) : keys[i];
                m_groups[i]->m_count = 0;
                // keep the header with the bands that follow it
                double keep = m_detail.isEnabled() ? m_detail.height() : 0.0;
                for (size_t j = i + 1; j < ng; ++j)
                    if (m_groups[j]->m_header.isEnabled())
                        keep += m_groups[j]->m_header.height();
                printBand(m_groups[i]->m_header, out, false, keep);
                m_groups[i]->m_open = true;
            }
            ++m_state.record;
            for (auto& g : m_groups)
                ++g->m_count;
            printBand(m_detail, out);
            if (ng)
                last.capture(*ds);
            prev = std::move(keys);
            firstRow = false;
            ds->next();
        }
        if (!firstRow && ng) {
            m_state.row = &last;
            for (size_t i = ng; i-- > 0;) {
                printBand(m_groups[i]->m_footer, out);
                m_groups[i]->m_open = false;
            }
            m_state.row = ds;
        }
    }
    printBand(m_summary, out);
    endPage(out);

    const int total = out.pageCount();
    for (const Fixup& f : m_fixups) {
        DrawOp& op = out.pages[f.page].ops[f.op];
        if (f.element->value() == SystemValue::PageCount)
            op.text = f.element->text() + QString::number(total);
        else
            op.text = f.element->text() + QString::number(f.page + 1) + QStringLiteral(" of ") + QString::number(total);
        if (f.element->rect().width() <= 0)
            op.rect.setWidth(textWidth(out.fonts.value(op.font), op.text));
    }
    m_fixups.clear();
    m_state.row = nullptr;
    m_inPageFrame = false;
    return out;
}

// ---------------------------------------------------------------- formats

QString formatFloat(const QString& pattern, double value)
{
    qsizetype firstPh = -1, lastPh = -1;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('#') || c == QLatin1Char('0') || c == QLatin1Char('.') || c == QLatin1Char(',')) {
            if (firstPh < 0)
                firstPh = i;
            lastPh = i;
        }
    }
    if (firstPh < 0)
        return pattern;
    const QString prefix = pattern.left(firstPh);
    const QString suffix = pattern.mid(lastPh + 1);
    const QString body = pattern.mid(firstPh, lastPh - firstPh + 1);
    const qsizetype dot = body.indexOf(QLatin1Char('.'));
    const QString intPart = dot < 0 ? body : body.left(dot);
    const QString fracPart = dot < 0 ? QString() : body.mid(dot + 1);
    const bool grouping = intPart.contains(QLatin1Char(','));
    const int minInt = int(intPart.count(QLatin1Char('0')));
    int fracDigits = 0, minFrac = 0;
    for (qsizetype i = 0; i < fracPart.size(); ++i) {
        if (fracPart.at(i) == QLatin1Char('0')) {
            ++fracDigits;
            minFrac = fracDigits;
        } else if (fracPart.at(i) == QLatin1Char('#'))
            ++fracDigits;
    }
    if (!std::isfinite(value))
        return prefix + QString::number(value) + suffix;

    // round half away from zero at the last fraction digit
    const double scale = std::pow(10.0, fracDigits);
    double a = std::fabs(value);
    double scaled = std::floor(a * scale + 0.5 + 1e-9 * std::max(1.0, a * scale));
    const bool negative = value < 0 && scaled > 0;
    QString digits = QString::number(scaled / scale, 'f', fracDigits);
    QString ip = digits, fp;
    if (fracDigits > 0) {
        const qsizetype d = digits.indexOf(QLatin1Char('.'));
        ip = digits.left(d);
        fp = digits.mid(d + 1);
    }
    while (fp.size() > minFrac && fp.endsWith(QLatin1Char('0')))
        fp.chop(1);
    if (ip == QLatin1String("0"))
        ip.clear();
    while (ip.size() < minInt)
        ip.prepend(QLatin1Char('0'));
    if (grouping && ip.size() > 3) {
        QString g;
        for (qsizetype i = 0; i < ip.size(); ++i) {
            if (i > 0 && (ip.size() - i) % 3 == 0)
                g += QLatin1Char(',');
            g += ip.at(i);
        }
        ip = g;
    }
    QString result = ip;
    if (!fp.isEmpty())
        result += QLatin1Char('.') + fp;
    if (negative && !result.isEmpty())
        result.prepend(QLatin1Char('-'));
    return prefix + result + suffix;
}

} // namespace quen::report
