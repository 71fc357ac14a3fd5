// TPlainTableForm: the design of the plain table editors of the crop database
// program: no read-only mode, a full navigator edits the table directly, a
// list button previews the list report, "&Close" posts a pending edit and
// closes.
//   TBCAnuForm    "CrpBCAnu.DB"  Blaney-Criddle (TR21) Kc by percent of season
//   TBCPerenForm  "CrpBCPer.DB"  Blaney-Criddle (TR21) Kc by calendar date
//   TAnTypeForm   "CrpAnTyp.db"  annual crop types (growth-stage fractions)
#pragma once

#include <QDialog>
#include <functional>

#include "CropFormKit.h"
#include "DBControls.h"
#include "DBGrid.h"
#include "DBNavigator.h"

class QPushButton;

namespace quen::cropprog {

class TPlainTableForm : public QDialog {
    Q_OBJECT
public:
    TPlainTableForm(const QString& objectName, const QString& caption, TDataSource* source, const QString& nameField,
                    QWidget* parent);
    TDataSource* Source;
    TDBGrid* Grid;
    TDBEdit* NameEdit;
    QList<TDBNumEdit*> ValueEdits;
    TDBNavigator* Navigator;
    QPushButton *ListBtn, *CloseBtn, *HelpBtn;
    TTable* table() const { return Source->dataSet(); }
    void FormClose();
    void ListBtnClick();

protected:
    // Adds value fields in a grid of `columns` columns inside a group.
    void addValueFields(const QString& groupTitle, const QStringList& fields, const QStringList& labels,
                        const QString& picture, int columns, const QString& hint = QString());
    void setListButton(const QString& caption, const QString& hint,
                       std::function<report::PreparedReport(TTable&)> prepare);
    void done(int r) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    QWidget* m_right;
    std::function<report::PreparedReport(TTable&)> m_prepare;
    bool m_closed = false;
};

} // namespace quen::cropprog
