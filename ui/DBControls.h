// Data-aware controls: each shows one field of the current row of the table
// behind a TDataSource and writes the user's entry back into it.
//
// Binding: control->setDataSource(ds); control->setFieldName("Crop Name").
// The control follows the row as the table moves, is re-read on every state
// change, and is read-only while the table is not being edited and the
// source's autoEdit is off (the record editors' read-only mode). With
// autoEdit on, the first change the user makes puts the row into edit.
//
//   TDBEdit        line edit over a text (or any) field; Enter moves focus
//   TDBNumEdit     numeric entry field (picture, range) over a number field
//   TDBMemo        multi-line text over a memo field
//   TDBCheckBox    check box over a logical field
//   TDBComboBox    drop-down list (or editable combo) writing the item text
//   TDBRadioGroup  radio group whose items carry the values stored
//   TDBText        read-only label showing a field
// Each emits exited() when the focus leaves it, for unit-pair conversions.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStringList>
#include <functional>

#include "DataSource.h"
#include "NumEdit.h"

class QButtonGroup;

namespace quen {

// The binding of one control to one field (shared by all controls).
class TFieldLink : public QObject {
    Q_OBJECT
public:
    explicit TFieldLink(QObject* owner);

    void setDataSource(TDataSource* ds);
    TDataSource* dataSource() const { return m_ds; }
    void setFieldName(const QString& name);
    QString fieldName() const { return m_field; }

    TTable* table() const;
    bool active() const;          // table open and field present
    TField field() const;         // only when active()
    bool editing() const;         // table in edit or insert state
    // The user may change the field now (or by starting an edit).
    bool canModify() const;
    // Puts the row into edit when allowed; true when in edit or insert.
    bool beginEdit();

    // Writes through f while suppressing the control's own refresh.
    void write(const std::function<void(TField&)>& f);

    bool readOnly = false;        // the control's own read-only switch
    std::function<void()> onRefresh;

private:
    void reconnect();
    QPointer<TDataSource> m_ds;
    QString m_field;
    bool m_writing = false;
    QList<QMetaObject::Connection> m_conns;
};

// What every data-aware control has: its binding and the calls that set it.
class TDataAware {
public:
    void setDataSource(TDataSource* ds) { m_link.setDataSource(ds); }
    void setFieldName(const QString& f) { m_link.setFieldName(f); }
    void setDataReadOnly(bool on) { m_link.readOnly = on; refresh(); }
    TFieldLink& link() { return m_link; }
    // Shows the field's current value and whether it may be changed.
    virtual void refresh() = 0;

protected:
    explicit TDataAware(QObject* owner) : m_link(owner) {}
    virtual ~TDataAware() = default;
    TFieldLink m_link;
};

class TDBEdit : public QLineEdit, public TDataAware {
    Q_OBJECT
public:
    explicit TDBEdit(QWidget* parent = nullptr);
    TDBEdit(TDataSource* ds, const QString& field, QWidget* parent = nullptr);
    void refresh() override;
signals:
    void exited();
protected:
    void focusOutEvent(QFocusEvent* e) override;
private:
    bool m_refreshing = false;
};

class TDBNumEdit : public TNumEdit, public TDataAware {
    Q_OBJECT
public:
    explicit TDBNumEdit(QWidget* parent = nullptr);
    TDBNumEdit(TDataSource* ds, const QString& field, const QString& picture,
               double lo = 0, double hi = 0, QWidget* parent = nullptr);
    void refresh() override;
    // The caption or label, else the field name.
    QString fieldCaption() const override;
};

class TDBMemo : public QPlainTextEdit, public TDataAware {
    Q_OBJECT
public:
    explicit TDBMemo(QWidget* parent = nullptr);
    TDBMemo(TDataSource* ds, const QString& field, QWidget* parent = nullptr);
    void refresh() override;
signals:
    void exited();
protected:
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
private:
    bool m_refreshing = false;
};

class TDBCheckBox : public QCheckBox, public TDataAware {
    Q_OBJECT
public:
    explicit TDBCheckBox(const QString& caption = QString(), QWidget* parent = nullptr);
    TDBCheckBox(TDataSource* ds, const QString& field, const QString& caption, QWidget* parent = nullptr);
    void refresh() override;
signals:
    void exited();
protected:
    void focusOutEvent(QFocusEvent* e) override;
private:
    bool m_refreshing = false;
};

class TDBComboBox : public QComboBox, public TDataAware {
    Q_OBJECT
public:
    explicit TDBComboBox(QWidget* parent = nullptr);
    TDBComboBox(TDataSource* ds, const QString& field, const QStringList& items, QWidget* parent = nullptr);
    void setItems(const QStringList& items);
    // Fills the items with the values of field over all rows of t (which is
    // opened and closed again when it was closed).
    void setItemsFromTable(TTable* t, const QString& field);
    void refresh() override;
signals:
    void exited();
protected:
    void focusOutEvent(QFocusEvent* e) override;
private:
    void userChose(const QString& text);
    bool m_refreshing = false;
};

class TDBRadioGroup : public QGroupBox, public TDataAware {
    Q_OBJECT
public:
    explicit TDBRadioGroup(const QString& title = QString(), QWidget* parent = nullptr);
    // Item captions and the values they store (values default to captions).
    void setItems(const QStringList& captions, const QStringList& values = QStringList());
    void setColumns(int n);
    QStringList values() const { return m_values; }
    int itemIndex() const;                 // -1 when no item matches the field
    void setItemIndex(int i);              // as if the user chose item i
    void refresh() override;
    // Index of the item whose value equals text (numbers compare by value).
    int indexOfValue(const QString& text) const;
signals:
    void changed(int index);               // the user chose an item
private:
    void layoutButtons();
    void showIndex(int i);
    QButtonGroup* m_group;
    QStringList m_captions, m_values;
    int m_columns = 1;
    bool m_refreshing = false;
};

class TDBText : public QLabel, public TDataAware {
    Q_OBJECT
public:
    explicit TDBText(QWidget* parent = nullptr);
    TDBText(TDataSource* ds, const QString& field, QWidget* parent = nullptr);
    void refresh() override;
};

} // namespace quen
