// Pieces the crop database program's windows share: the modal run that tests
// can drive without waiting, a plain radio group, the "Help" menu and the
// report preview call.
#pragma once

#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QStringList>
#include <functional>

#include "PreparedReport.h"

class QCloseEvent;
class QMenuBar;
class QVBoxLayout;
class QLabel;

namespace quen::cropprog {

// Shows a modal dialog. While a driver is installed (tests) the dialog is
// shown without a modal loop, handed to the driver, and rejected if the
// driver left it open.
int runModal(QDialog& dialog);
void setModalDriver(std::function<void(QDialog&)> driver);
// Shows a prepared report in the preview; with a report sink installed
// (tests) the pages go to the sink instead.
void previewReport(const report::PreparedReport& pages, QWidget* parent);
void setReportSink(std::function<void(const report::PreparedReport&)> sink);

// A radio group that is not bound to a field: the window reads and writes it.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr, int columns = 1);
    int itemIndex() const;
    void setItemIndex(int i);        // shows i (-1: none) without emitting clicked
    void clickItem(int i);           // as the user does
    QStringList items() const { return m_items; }
signals:
    void clicked(int index);
private:
    QButtonGroup* m_group;
    QStringList m_items;
};

// Runs a window's FormClose for a close request. A refused post (a required
// field empty, a duplicate name) throws: the close is ignored, keeping the
// window open with the row still in edit, and the refusal goes on to reach
// the user as the database layer's message.
void runFormClose(QCloseEvent* e, const std::function<void()>& formClose);
// Runs a window's FormClose once, when it was shown and has not closed yet; a
// refused post throws and keeps the window open, so a later close tries again.
void closeOnce(bool shown, bool& closed, const std::function<void()>& formClose);
// Runs a window's FormShow at its first showing only.
void showOnce(bool& shown, const std::function<void()>& formShow);

// Menu bar of a dialog: added at the top of its layout.
QMenuBar* addMenuBar(QDialog* dialog, QVBoxLayout* layout);
// "Help" menu: "&Contents", "&Search for Help on...", "&About...".
void addHelpMenu(QMenuBar* bar, QWidget* parent);

// The humidity/wind codes in index order and the crop kinds of "Bas Crop Type".
QStringList humidityWindCodes();
QStringList basalKinds();
QStringList bcKinds();

} // namespace quen::cropprog
