// TDBGrid: a read-only grid over the visible rows of the table behind a
// data source. Columns are fields with a title; the highlighted grid row is
// the table's current row both ways (clicking a row moves the table, moving
// the table moves the highlight). A double click emits rowDoubleClicked(), the
// hook for "double click = OK / Display Crop". The grid re-reads its rows
// when the table opens, posts, deletes or its view changes (filter, range,
// index); while a row is being edited only that row is refreshed, so reading
// never posts a pending edit. A new row being inserted shows as an extra row
// at the end of the list (highlighted) until it is posted or cancelled; the
// saved rows keep showing as they are.
//
// moveToRecNo(t, n) moves a table to its n-th visible row with one scroll
// notification at the end.
#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QTableView>

#include "DataSource.h"

namespace quen {

void moveToRecNo(TTable* t, int recNo);

class TDBGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    struct Column { QString field; QString title; };

    void setTable(TTable* t) { m_table = t; reload(); }
    void addColumn(const QString& field, const QString& title);
    void reload();                 // re-reads every visible row
    void refreshCurrentRow();      // re-reads only the current row (or the pending new row)
    void showPendingRow();         // shows or updates the row being inserted
    bool pendingRowShown() const { return m_pendingShown; }
    bool matchesCurrentRow() const; // cache row == the table's current row
    int cachedRows() const { return int(m_rows.size()); }

    int rowCount(const QModelIndex& = QModelIndex()) const override { return int(m_rows.size()); }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return int(m_cols.size()); }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

private:
    QStringList readRow() const;
    QPointer<TTable> m_table;
    QList<Column> m_cols;
    QList<QStringList> m_rows;
    bool m_pendingShown = false;   // the last cached row is the row being inserted
};

class TDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr);
    void setDataSource(TDataSource* ds);
    TDataSource* dataSource() const { return m_ds; }
    void addColumn(const QString& field, const QString& title = QString(), int width = 0);
    TDBGridModel* gridModel() const { return m_model; }
    void reload();

signals:
    void rowDoubleClicked();        // a row was double-clicked (after it became current)
    void rowChosen();               // the user moved to another row

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void attach();
    void followTable();
    void selectCurrent();
    QPointer<TDataSource> m_ds;
    TDBGridModel* m_model;
    QList<QMetaObject::Connection> m_conns;
    bool m_syncing = false;
};

} // namespace quen
