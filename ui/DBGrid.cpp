#include "DBGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace quen {

void moveToRecNo(TTable* t, int recNo)
{
    if (!t || !t->isOpen() || recNo < 1) return;
    if (t->recNo() == recNo) return;
    {
        QSignalBlocker block(t);
        const int now = t->recNo();
        if (now > 0 && recNo > now) {
            for (int i = now; i < recNo && !t->eof(); ++i) t->next();
        } else if (now > 0 && recNo < now && now - recNo < recNo) {
            for (int i = now; i > recNo && !t->bof(); --i) t->prior();
        } else {
            t->first();
            for (int i = 1; i < recNo && !t->eof(); ++i) t->next();
        }
    }
    emit t->afterScroll();
}

void TDBGridModel::addColumn(const QString& field, const QString& title)
{
    beginResetModel();
    m_cols.append({field, title.isEmpty() ? field : title});
    endResetModel();
    reload();
}

QStringList TDBGridModel::readRow() const
{
    QStringList row;
    for (const Column& c : m_cols)
        row << (m_table->hasField(c.field) ? m_table->field(c.field).asString() : QString());
    return row;
}

void TDBGridModel::reload()
{
    TTable* t = m_table;
    // Walking the rows would post a pending edit or insert: keep the saved
    // rows as they are and show the pending one.
    if (t && t->isOpen() && t->state() != TTable::State::Browse && !m_rows.isEmpty()) {
        refreshCurrentRow();
        return;
    }
    beginResetModel();
    m_rows.clear();
    m_pendingShown = false;
    if (t && t->isOpen() && t->state() == TTable::State::Browse) {
        QSignalBlocker block(t);
        const int at = t->recNo();
        for (t->first(); !t->eof(); t->next()) m_rows.append(readRow());
        if (at > 0) {
            t->first();
            for (int i = 1; i < at && !t->eof(); ++i) t->next();
        }
    }
    endResetModel();
}

void TDBGridModel::showPendingRow()
{
    if (!m_table || !m_table->isOpen() || m_table->state() != TTable::State::Insert) return;
    if (m_pendingShown) {
        const int r = int(m_rows.size()) - 1;
        m_rows[r] = readRow();
        emit dataChanged(index(r, 0), index(r, int(m_cols.size()) - 1));
        return;
    }
    const int r = int(m_rows.size());
    beginInsertRows(QModelIndex(), r, r);
    m_rows.append(readRow());
    m_pendingShown = true;
    endInsertRows();
}

void TDBGridModel::refreshCurrentRow()
{
    if (!m_table || !m_table->isOpen()) return;
    // While inserting, the current position is still the saved row the
    // insert started from: its cached text must stay.
    if (m_table->state() == TTable::State::Insert) {
        showPendingRow();
        return;
    }
    if (m_pendingShown) return;   // cancelled insert: the next reload drops it
    const int r = m_table->recNo() - 1;
    if (r < 0 || r >= m_rows.size()) return;
    m_rows[r] = readRow();
    emit dataChanged(index(r, 0), index(r, int(m_cols.size()) - 1));
}

bool TDBGridModel::matchesCurrentRow() const
{
    if (!m_table || !m_table->isOpen()) return m_rows.isEmpty();
    if (m_pendingShown) return false;
    if (m_table->recordCount() != m_rows.size()) return false;
    const int r = m_table->recNo() - 1;
    if (r < 0) return m_rows.isEmpty();
    return r < m_rows.size() && m_rows[r] == readRow();
}

QVariant TDBGridModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return m_rows.value(index.row()).value(index.column());
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (o == Qt::Horizontal) return m_cols.value(section).title;
    return {};
}

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent), m_model(new TDBGridModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setStretchLastSection(true);
    setAlternatingRowColors(false);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& cur) {
                if (m_syncing || !cur.isValid() || !m_ds || !m_ds->dataSet()) return;
                TTable* t = m_ds->dataSet();
                if (!t->isOpen() || t->recNo() == cur.row() + 1) return;
                m_syncing = true;
                try {
                    moveToRecNo(t, cur.row() + 1);
                } catch (...) {
                    m_syncing = false;
                    throw;
                }
                m_syncing = false;
                emit rowChosen();
            });
}

void TDBGrid::setDataSource(TDataSource* ds)
{
    m_ds = ds;
    attach();
}

void TDBGrid::attach()
{
    for (auto& c : m_conns) disconnect(c);
    m_conns.clear();
    TTable* t = m_ds ? m_ds->dataSet() : nullptr;
    m_model->setTable(t);
    if (m_ds) {
        m_conns << connect(m_ds, &TDataSource::dataSetChanged, this, [this] { attach(); });
        m_conns << connect(m_ds, &TDataSource::recordChanged, this, [this] { followTable(); });
        m_conns << connect(m_ds, &TDataSource::stateChanged, this, [this] { followTable(); });
        m_conns << connect(m_ds, &TDataSource::fieldChanged, this, [this](int) { m_model->refreshCurrentRow(); });
    }
    if (t) {
        m_conns << connect(t, &TTable::afterPost, this, [this] { reload(); });
        m_conns << connect(t, &TTable::afterDelete, this, [this] { reload(); });
        m_conns << connect(t, &TTable::afterOpen, this, [this] { reload(); });
    }
    selectCurrent();
}

void TDBGrid::addColumn(const QString& field, const QString& title, int width)
{
    m_model->addColumn(field, title);
    if (width > 0) setColumnWidth(m_model->columnCount() - 1, width);
    selectCurrent();
}

void TDBGrid::reload()
{
    if (m_syncing) return;
    m_model->reload();
    selectCurrent();
}

void TDBGrid::followTable()
{
    if (m_syncing) return;
    TTable* t = m_ds ? m_ds->dataSet() : nullptr;
    if (!t || !t->isOpen()) {
        if (m_model->cachedRows()) m_model->reload();
        return;
    }
    if (t->state() == TTable::State::Browse && !m_model->matchesCurrentRow()) m_model->reload();
    else if (t->state() == TTable::State::Edit) m_model->refreshCurrentRow();
    else if (t->state() == TTable::State::Insert) m_model->showPendingRow();
    selectCurrent();
}

void TDBGrid::selectCurrent()
{
    TTable* t = m_ds ? m_ds->dataSet() : nullptr;
    int r = (t && t->isOpen()) ? t->recNo() - 1 : -1;
    if (t && t->isOpen() && t->state() == TTable::State::Insert && m_model->pendingRowShown())
        r = m_model->rowCount() - 1;
    m_syncing = true;
    if (r >= 0 && r < m_model->rowCount()) {
        selectRow(r);
        setCurrentIndex(m_model->index(r, 0));
        scrollTo(m_model->index(r, 0));
    } else {
        clearSelection();
    }
    m_syncing = false;
}

void TDBGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    QTableView::mouseDoubleClickEvent(e);
    if (indexAt(e->position().toPoint()).isValid()) emit rowDoubleClicked();
}

} // namespace quen
