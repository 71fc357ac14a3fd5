// Banded reports.
//
// A report is declared once as bands of elements and prepared into pages
// (PreparedReport.h), which the preview shows, prints, saves as a QRP file
// or exports to PDF.
//
//   Report rep("List of Available Jobs");
//   rep.setDataSet(&jobs);                       // or setTable(tblQuenJob)
//   Band& ph = rep.pageHeader();
//   ph.setHeight(40);
//   ph.addLabel(QRectF(0, 0, kPrintWidth, 16), "List of Available Jobs",
//               FontSpec(12, true), Qt::AlignHCenter);
//   Band& d = rep.detail();
//   d.setHeight(30);
//   d.addLabel(0, 4, "Job:");
//   d.addField(QRectF(60, 4, 300, 0), "JobName", FontSpec(10, true))->setWordWrap(true);
//   d.setBeforePrint([&](Band&, bool& printBand) { ... });
//   rep.pageFooter().setHeight(16);
//   rep.pageFooter().addSystemValue(QRectF(440, 2, 100, 0), SystemValue::PageNumber, "Page: ");
//   PreparedReport pages = rep.prepare();
//
// Coordinates are points (1/72 inch). x runs from the left margin (0 to
// kPrintWidth = 540), y from the top of the band. A height or width of 0
// means "as needed" (one line of the font; the text's own width).
//
// Order on the page: page header (every page), title (first page only),
// column header (every page), then per row of the data set the group
// headers whose value changed, the detail, and the group footers of groups
// that end; after the last row the summary. The page footer stands at the
// foot of every page. A band is never split: when it does not fit above the
// page footer it starts the next page. A group header starts the next page
// as well when the first row of its group would not fit under it.
//
// Before-print handlers run each time their band is about to print; they
// may change texts, hide or show elements, or set printBand = false to skip
// the band this time. A hidden element leaves its space blank and the band
// keeps its height. A word-wrapped label grows downwards; elements that
// stand below it in the band move down by as much, and the band grows.
#pragma once

#include <QColor>
#include <QDateTime>
#include <QRectF>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

#include "CsvExport.h"
#include "DataSet.h"
#include "PreparedReport.h"

class QChart;
class QWidget;

namespace quen {
class TTable;
}

namespace quen::report {

class Band;
class Report;
struct PrintState;

enum class BandType { Title, PageHeader, ColumnHeader, GroupHeader, Detail, GroupFooter, Summary, PageFooter };

class Element {
public:
    enum class Kind { Label, DataText, SystemValue, Line, Frame, Chart };
    virtual ~Element() = default;

    Kind kind() const { return m_kind; }
    QRectF rect() const { return m_rect; }
    void setRect(const QRectF& r) { m_rect = r; }
    bool isVisible() const { return m_visible; }
    void setVisible(bool on) { m_visible = on; }
    void show() { m_visible = true; }
    void hide() { m_visible = false; }
    Band* band() const { return m_band; }

protected:
    Element(Kind k, const QRectF& r) : m_kind(k), m_rect(r) {}

private:
    friend class Band;
    Kind m_kind;
    QRectF m_rect;
    bool m_visible = true;
    Band* m_band = nullptr;
};

// Fixed text. Lines break at "\n"; with word wrap also at the rect's width,
// and the label grows downwards as far as its text needs.
class Label : public Element {
public:
    Label(const QRectF& r, const QString& text, const FontSpec& font, Qt::Alignment align)
        : Element(Kind::Label, r), m_text(text), m_font(font), m_align(align) {}

    QString text() const { return m_text; }
    void setText(const QString& t) { m_text = t; }
    FontSpec font() const { return m_font; }
    void setFont(const FontSpec& f) { m_font = f; }
    QColor color() const { return m_color; }
    void setColor(const QColor& c) { m_color = c; }
    Qt::Alignment alignment() const { return m_align; }
    void setAlignment(Qt::Alignment a) { m_align = a; }
    bool wordWrap() const { return m_wrap; }
    void setWordWrap(bool on) { m_wrap = on; }

    // The text as printed for the current row and page.
    virtual QString printText(const PrintState& st) const;

protected:
    Label(Kind k, const QRectF& r, const QString& text, const FontSpec& font, Qt::Alignment align)
        : Element(k, r), m_text(text), m_font(font), m_align(align) {}

private:
    QString m_text;
    FontSpec m_font;
    QColor m_color = Qt::black;
    Qt::Alignment m_align;
    bool m_wrap = false;
};

// Text of a field of the current row: the field's own display text, or the
// value through a float pattern ("##.##", see formatFloat) or a formatter.
// The label text, when set, is put in front of the value.
class DataText : public Label {
public:
    using Formatter = std::function<QString(const QVariant&)>;
    DataText(const QRectF& r, const QString& field, const FontSpec& font, Qt::Alignment align)
        : Label(Kind::DataText, r, QString(), font, align), m_field(field) {}

    QString field() const { return m_field; }
    void setField(const QString& f) { m_field = f; }
    void setPattern(const QString& floatPattern) { m_pattern = floatPattern; }
    void setFormatter(Formatter f) { m_formatter = std::move(f); }

    QString printText(const PrintState& st) const override;

private:
    QString m_field;
    QString m_pattern;
    Formatter m_formatter;
};

// Values the report knows itself; the label text is a prefix ("Page:  ").
class SystemValue : public Label {
public:
    enum Value { Date, Time, DateTime, PageNumber, PageCount, PageOfPages, ReportTitle, RecordNumber };
    SystemValue(const QRectF& r, Value v, const QString& prefix, const FontSpec& font, Qt::Alignment align)
        : Label(Kind::SystemValue, r, prefix, font, align), m_value(v) {}

    Value value() const { return m_value; }
    QString printText(const PrintState& st) const override;

private:
    Value m_value;
};

// A straight line from rect().topLeft() to rect().bottomRight().
class LineElement : public Element {
public:
    LineElement(const QRectF& r, double penWidth) : Element(Kind::Line, r), m_pen(penWidth) {}
    double penWidth() const { return m_pen; }
    void setPenWidth(double w) { m_pen = w; }
    QColor color() const { return m_color; }
    void setColor(const QColor& c) { m_color = c; }

private:
    double m_pen;
    QColor m_color = Qt::black;
};

// A rectangle: a frame of penWidth (0 = none), optionally filled.
class FrameElement : public Element {
public:
    FrameElement(const QRectF& r, double penWidth, const QColor& fill)
        : Element(Kind::Frame, r), m_pen(penWidth), m_fill(fill) {}
    double penWidth() const { return m_pen; }
    void setPenWidth(double w) { m_pen = w; }
    QColor color() const { return m_color; }
    void setColor(const QColor& c) { m_color = c; }
    QColor fill() const { return m_fill; }
    void setFill(const QColor& c) { m_fill = c; }

private:
    double m_pen;
    QColor m_color = Qt::black;
    QColor m_fill;
};

// A Qt chart drawn into the page as vector drawing when the band prints.
// Fill its series before preparing or in the band's before-print handler.
class ChartElement : public Element {
public:
    explicit ChartElement(const QRectF& r);
    ~ChartElement() override;
    QChart* chart();    // owned by the element

private:
    std::unique_ptr<QChart> m_chart;
};

class Band {
public:
    // printBand starts true; set it false to skip the band this time.
    using BeforePrint = std::function<void(Band& band, bool& printBand)>;

    Band(Report* report, BandType type) : m_report(report), m_type(type) {}
    Band(const Band&) = delete;
    Band& operator=(const Band&) = delete;

    BandType type() const { return m_type; }
    Report& report() const { return *m_report; }
    double height() const { return m_height; }
    void setHeight(double h) { m_height = h; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on) { m_enabled = on; }
    void setBeforePrint(BeforePrint handler) { m_beforePrint = std::move(handler); }

    Label* addLabel(double x, double y, const QString& text, const FontSpec& font = {});
    Label* addLabel(const QRectF& r, const QString& text, const FontSpec& font = {},
                    Qt::Alignment align = Qt::AlignLeft);
    DataText* addField(double x, double y, const QString& field, const FontSpec& font = {});
    DataText* addField(const QRectF& r, const QString& field, const FontSpec& font = {},
                       Qt::Alignment align = Qt::AlignLeft);
    SystemValue* addSystemValue(const QRectF& r, SystemValue::Value v, const QString& prefix = {},
                                const FontSpec& font = {}, Qt::Alignment align = Qt::AlignLeft);
    LineElement* addHLine(double x, double y, double width, double penWidth = 0.75);
    LineElement* addVLine(double x, double y, double height, double penWidth = 0.75);
    LineElement* addLine(const QPointF& from, const QPointF& to, double penWidth = 0.75);
    FrameElement* addFrame(const QRectF& r, double penWidth = 0.75, const QColor& fill = QColor());
    ChartElement* addChart(const QRectF& r);

    const std::vector<std::unique_ptr<Element>>& elements() const { return m_elements; }
    // True when the band has something to print (a height or an element).
    bool hasContent() const { return m_height > 0 || !m_elements.empty(); }

private:
    friend class Report;
    template <class T> T* add(std::unique_ptr<T> e);

    Report* m_report;
    BandType m_type;
    double m_height = 0;
    bool m_enabled = true;
    BeforePrint m_beforePrint;
    std::vector<std::unique_ptr<Element>> m_elements;
};

// Rows with the same key value form a group; its header prints before the
// group's first row and its footer after its last. Groups nest in the order
// they are added (the first is the outermost).
class Group {
public:
    using KeyFunction = std::function<QVariant(const DataSet&)>;
    Group(Report* report, KeyFunction key);

    Band& header() { return m_header; }
    Band& footer() { return m_footer; }
    // Print the header again at the top of each page the group continues on.
    void setRepeatHeader(bool on) { m_repeatHeader = on; }

    // While the group prints: its key value and the rows printed in it so far.
    QVariant value() const { return m_value; }
    int recordCount() const { return m_count; }

private:
    friend class Report;
    KeyFunction m_key;
    Band m_header;
    Band m_footer;
    bool m_repeatHeader = false;
    bool m_open = false;       // header printed, footer not yet
    QVariant m_value;
    int m_count = 0;
};

// What a label reads while its band prints.
struct PrintState {
    const Report* report = nullptr;
    const DataSet* row = nullptr;   // current row (a group footer: last row of its group)
    int page = 0;                   // 1-based
    int record = 0;                 // detail rows printed so far, this one included
    QDateTime printTime;
};

class Report {
public:
    explicit Report(const QString& title = QString());
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    QString title() const { return m_title; }
    void setTitle(const QString& t) { m_title = t; }

    // The rows of the detail band; none = the detail prints once.
    void setDataSet(DataSet* ds);          // not owned
    void setTable(TTable* table);          // adapter owned by the report
    DataSet* dataSet() const { return m_dataSet; }

    Band& titleBand() { return m_titleBand; }
    Band& pageHeader() { return m_pageHeader; }
    Band& columnHeader() { return m_columnHeader; }
    Band& detail() { return m_detail; }
    Band& summary() { return m_summary; }
    Band& pageFooter() { return m_pageFooter; }
    Group& addGroup(const QString& field);
    Group& addGroup(Group::KeyFunction key);

    // The time printed by date and time values (default: when prepared).
    void setPrintTime(const QDateTime& t) { m_fixedTime = t; }

    // Lays the report out into pages. Handlers' exceptions pass on.
    PreparedReport prepare();

    // While preparing (for handlers): the page being filled, the detail rows
    // printed so far, and the current row's values (in a group footer, the
    // last row of the group).
    int pageNumber() const { return m_state.page; }
    int recordNumber() const { return m_state.record; }
    QVariant value(const QString& field) const;
    QString fieldText(const QString& field) const;

    // Prepares the report and shows it in the preview window (modal).
    void preview(QWidget* parent = nullptr);

    // The monthly table(s) the preview's "Export CSV" writes.
    void setCsvTables(const QList<CsvTable>& tables) { m_csvTables = tables; }
    const QList<CsvTable>& csvTables() const { return m_csvTables; }

private:
    struct Layout;
    bool printBand(Band& band, PreparedReport& out, bool forcePlace = false, double keepWith = 0);
    void layoutBand(Band& band, Layout& lay, PreparedReport& out);
    void startPage(PreparedReport& out);
    void endPage(PreparedReport& out);

    QString m_title;
    DataSet* m_dataSet = nullptr;
    std::unique_ptr<DataSet> m_ownedDataSet;
    Band m_titleBand{this, BandType::Title};
    Band m_pageHeader{this, BandType::PageHeader};
    Band m_columnHeader{this, BandType::ColumnHeader};
    Band m_detail{this, BandType::Detail};
    Band m_summary{this, BandType::Summary};
    Band m_pageFooter{this, BandType::PageFooter};
    std::vector<std::unique_ptr<Group>> m_groups;
    QDateTime m_fixedTime;
    QList<CsvTable> m_csvTables;

    // preparation state
    PrintState m_state;
    double m_y = 0;
    bool m_pageHasBody = false;
    bool m_inPageFrame = false;
    struct Fixup { int page; int op; const SystemValue* element; };
    std::vector<Fixup> m_fixups;
};

// Delphi-style float pattern: '0' a digit always printed, '#' a digit
// printed only when significant, '.' the decimal point, ',' thousands
// grouping; other characters before or after are copied. "##.##" prints
// 1.5 as "1.5" and 0 as ""; "0.00" prints 0 as "0.00".
QString formatFloat(const QString& pattern, double value);

} // namespace quen::report
