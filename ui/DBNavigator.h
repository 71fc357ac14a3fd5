// TDBNavigator: the row of buttons that moves over and edits the table of a
// data source: first, prior, next, last, and on the full navigator insert,
// delete, edit, post, cancel and refresh. Buttons are enabled by the table's
// state (no moving backwards on the first row, no post outside edit, ...).
// Delete asks "Delete record?" (Yes/No) through the message service.
// clicked(button) is emitted after a button has done its work.
#pragma once

#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include "DataSource.h"

namespace quen {

class TDBNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh, ButtonCount };
    enum Kind { Moves, Full };

    explicit TDBNavigator(Kind kind = Full, QWidget* parent = nullptr);
    void setDataSource(TDataSource* ds);
    QPushButton* button(Button b) const { return m_buttons[b]; }
    void click(Button b);          // does what the button does
    void updateButtons();
    void setConfirmDelete(bool on) { m_confirmDelete = on; }

signals:
    void clicked(quen::TDBNavigator::Button b);

private:
    QPointer<TDataSource> m_ds;
    QPushButton* m_buttons[ButtonCount] = {};
    QList<QMetaObject::Connection> m_conns;
    bool m_confirmDelete = true;
};

} // namespace quen
