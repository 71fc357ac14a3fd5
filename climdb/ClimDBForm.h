// TClimDBForm, "Climate Station (Temperature and Precipitation) Database":
// the editor of "Climate.DB". A station grid on the left; on three pages the
// station's general data, its monthly normals in English units and in metric
// units, each unit pair kept in step when a field is left while editing.
// Search, sort, county filter, marks and the three station reports.
#pragma once

#include <QDialog>
#include <QHash>
#include <functional>

#include "DBControls.h"
#include "SelCountyDlg.h"

class QAction;
class QMenu;
class QMenuBar;
class QPushButton;
class QTabWidget;

namespace quen {
class TDBGrid;
class TDBNavigator;
class TRecordEditor;
class TStationMap;
}

namespace quen::climprog {

class TClimDBForm : public QDialog {
    Q_OBJECT
public:
    explicit TClimDBForm(QWidget* parent = nullptr);
    ~TClimDBForm() override;

    QMenuBar* MainMenu;
    QAction* PrintAllMarkedItem;
    QAction* PrintByCountyItem;
    QAction* PrintByStationItem;
    QAction* ImportDailyItem;         // "Import Daily Weather..."
    QAction* CloseItem;
    QAction* ShowCountyItem;          // "Show County" / "Cancel County"
    QAction* SearchNameItem;
    QAction* SearchNumberItem;
    QAction* SortCountyItem;
    QAction* SortNameItem;
    QAction* SortNumberItem;
    QAction* MarkAllItem;
    QAction* ClearAllMarksItem;
    QAction* ShowOnlyMarkedItem;
    QAction* DefaultsItem;

    TDBGrid* StationGrid;
    TDBCheckBox* MarkedCheck;         // "Marked?"
    QPushButton* MarkBtn;
    QPushButton* GotoEditBtn;
    QPushButton* InsertBtn;
    QPushButton* CancelBtn;
    QPushButton* DeleteBtn;
    TDBNavigator* Navigator;
    QTabWidget* PageControl;

    TDBEdit* StationNameEdit;
    TDBEdit* StationNoEdit;
    TDBEdit* CountyEdit;
    TDBNumEdit* LatitudeEdit;
    TDBNumEdit* LongitudeEdit;
    TDBEdit* Spr28Edit;
    TDBEdit* Fall28Edit;
    TDBEdit* Spr32Edit;
    TDBEdit* Fall32Edit;
    TDBComboBox* WHRLocationCombo;
    QPushButton* WHROKBtn;
    QMenu* WHRPopup;                  // "Remove WHR Entry", "Cancel action"
    TDBNumEdit* ElevationEdit;
    TDBNumEdit* ElevationMEdit;
    TStationMap* StationMap;          // every station of "Climate.DB" (not only those the grid shows)

    // The monthly entry of a field ("T1", "TminM12", ...).
    TDBNumEdit* monthEdit(const QString& field) const { return m_month.value(field); }
    TRecordEditor* editor() const { return m_editor; }
    bool countyShown() const { return !m_county.isEmpty(); }

    // The input box of the searches; a test may answer it instead.
    static std::function<bool(const QString& title, const QString& prompt, QString& value)> inputQuery;
    // The county box of "Show County"; a test may answer it instead.
    static std::function<bool(TSelCountyDlg& dlg)> runCountyDialog;

public slots:
    void FormShow();
    void GotoEditBtnClick();
    void InsertBtnClick();
    void DeleteBtnClick();
    void MarkBtnClick();
    void WHROKBtnClick();
    void RemoveWHREntryClick();
    void ShowCountyClick();
    void SearchStationNameClick();
    void SearchStationNumberClick();
    void SortBy(const QString& indexName);
    void PrintAllMarkedClick();
    void PrintByCountyClick();
    void PrintByStationClick();
    void DefaultsClick();
    void ImportDailyItemClick();
    // Unit pairs: the partner of field is recomputed (edit or insert state only).
    void FieldExit(const QString& field);
    // Latitude and longitude: a value that is not DDMM / DDDMM is refused.
    void PositionExit(const QString& field);
    // A station clicked on the map becomes the current row.
    void StationMapClick(const QString& name);
    // Re-reads the map's stations (after a post or delete).
    void refreshMap();

protected:
    // A row whose latitude or longitude would be refused is not left by a
    // click in the grid or the navigator until it is put right.
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void done(int r) override;

private:
    struct ReportScope;
    TDBNumEdit* addMonthEdit(QWidget* page, const QString& field, const QString& picture);
    bool pendingPositionOk();
    void closeTables();
    template <class Prepare>
    void printStations(Prepare prepare);
    void search(const QString& title, const QString& prompt, const QString& index, const QString& field);
    void setIndexKeepingCounty(const QString& index);
    QHash<QString, TDBNumEdit*> m_month;
    TRecordEditor* m_editor = nullptr;
    QPushButton* m_editProxy = nullptr;
    QString m_county;                  // the county shown, empty when all
    bool m_shown = false;
    bool m_closed = false;
    bool m_outlinesSet = false;
};

} // namespace quen::climprog
