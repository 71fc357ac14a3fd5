#include "CropFormKit.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QRadioButton>
#include <QGridLayout>
#include <QVBoxLayout>

#include "AboutCropBox.h"
#include "Help.h"
#include "PreviewWindow.h"

namespace quen::cropprog {

static std::function<void(QDialog&)>& driver()
{
    static std::function<void(QDialog&)> d;
    return d;
}
static std::function<void(const report::PreparedReport&)>& sink()
{
    static std::function<void(const report::PreparedReport&)> s;
    return s;
}

void setModalDriver(std::function<void(QDialog&)> d) { driver() = std::move(d); }
void setReportSink(std::function<void(const report::PreparedReport&)> s) { sink() = std::move(s); }

int runModal(QDialog& dialog)
{
    if (!driver()) return dialog.exec();
    dialog.setResult(0);
    dialog.show();
    auto d = driver();   // the driver may open nested dialogs
    d(dialog);
    if (dialog.isVisible()) dialog.reject();
    return dialog.result();
}

void previewReport(const report::PreparedReport& pages, QWidget* parent)
{
    if (sink()) {
        sink()(pages);
        return;
    }
    report::showPreview(pages, parent);
}

TRadioGroup::TRadioGroup(const QString& title, const QStringList& items, QWidget* parent, int columns)
    : QGroupBox(title, parent), m_group(new QButtonGroup(this)), m_items(items)
{
    auto* g = new QGridLayout(this);
    const int rows = (int(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        m_group->addButton(b, i);
        g->addWidget(b, i % rows, i / rows);
    }
    connect(m_group, &QButtonGroup::idClicked, this, &TRadioGroup::clicked);
}

int TRadioGroup::itemIndex() const { return m_group->checkedId(); }

void TRadioGroup::setItemIndex(int i)
{
    if (i < 0) {
        m_group->setExclusive(false);
        for (QAbstractButton* b : m_group->buttons()) b->setChecked(false);
        m_group->setExclusive(true);
        return;
    }
    if (QAbstractButton* b = m_group->button(i)) b->setChecked(true);
}

void TRadioGroup::clickItem(int i)
{
    if (QAbstractButton* b = m_group->button(i)) b->click();
}

QMenuBar* addMenuBar(QDialog* dialog, QVBoxLayout* layout)
{
    auto* bar = new QMenuBar(dialog);
    layout->setMenuBar(bar);
    return bar;
}

void addHelpMenu(QMenuBar* bar, QWidget* parent)
{
    QMenu* m = bar->addMenu(QStringLiteral("&Help"));
    m->addAction(QStringLiteral("&Contents"), parent, [] { showHelpContents(); });
    m->addAction(QStringLiteral("&Search for Help on..."), parent, [] { showHelpSearch(); });
    m->addAction(QStringLiteral("&About..."), parent, [parent] {
        TAboutCropBox box(parent);
        runModal(box);
    });
}

QStringList humidityWindCodes() { return {"HM", "HS", "AM", "AS"}; }
QStringList basalKinds()
{
    return {"Field and vegetable crops", "Perennial and specialty crops", "Grasses and forage legumes"};
}
QStringList bcKinds() { return {"Blaney Criddle Annual Crop", "Blaney Criddle Perennial Crop"}; }

void runFormClose(QCloseEvent* e, const std::function<void()>& formClose)
{
    try {
        formClose();
    } catch (...) {
        e->ignore();
        throw;
    }
}

void closeOnce(bool shown, bool& closed, const std::function<void()>& formClose)
{
    if (!closed && shown) {
        formClose();
        closed = true;
    }
}

void showOnce(bool& shown, const std::function<void()>& formShow)
{
    if (!shown) {
        shown = true;
        formShow();
    }
}

} // namespace quen::cropprog
