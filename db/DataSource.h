// TDataSource: what data-aware controls bind to.
//
// A data source points at one table handle and passes on its notifications;
// controls listen to the data source, never to the handle, so a window can
// switch a control to another table by re-pointing the source. autoEdit
// (default true) lets a control put the handle into edit when the user types;
// the climate program's sources have it off.
#pragma once

#include <QObject>
#include <QPointer>

#include "Table.h"

namespace quen {

class TDataSource : public QObject {
    Q_OBJECT
public:
    explicit TDataSource(QObject* parent = nullptr) : QObject(parent) {}

    void setDataSet(TTable* table);
    TTable* dataSet() const { return m_table; }

    void setAutoEdit(bool on) { m_autoEdit = on; }
    bool autoEdit() const { return m_autoEdit; }

    // Puts the handle into edit when autoEdit is on and it is browsing;
    // returns whether the handle is now in edit or insert state.
    bool ensureEditing();

signals:
    void dataSetChanged();          // re-pointed to another handle
    void recordChanged();           // current row moved or re-read
    void stateChanged();
    void fieldChanged(int fieldIndex);

private:
    QPointer<TTable> m_table;
    bool m_autoEdit = true;
    QMetaObject::Connection m_c1, m_c2, m_c3, m_c4, m_c5;
};

} // namespace quen
