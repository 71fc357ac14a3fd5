// TDatabaseMainForm: the frame shared by the main windows of the crop and
// climate database programs: the caption, the heading "Quen" with the
// program's sub-heading, a body for the program's own buttons, the row
// "&Help", "&About Program" and close, placement on the screen when first
// shown, and the help file set again on every activation.
#pragma once

#include <QMainWindow>

class QHBoxLayout;
class QPushButton;
class QVBoxLayout;

namespace quen {

class TDatabaseMainForm : public QMainWindow {
    Q_OBJECT
public:
    QPushButton* HelpBtn;          // "&Help"
    QPushButton* AboutBtn;         // "&About Program"
    QPushButton* CloseBtn;

    // A push button named and captioned as given, of the common height.
    static QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent);

public slots:
    void FormActivate();
    void HelpBtnClick();
    virtual void AboutBtnClick() = 0;

protected:
    // helpContext: the topic of F1 anywhere in the window.
    TDatabaseMainForm(const QString& objectName, const QString& caption, const QString& subHeading,
                      int helpContext, QWidget* parent);
    QVBoxLayout* body() const { return m_body; }
    // The "&Help" / "&About Program" / close row, with its buttons parented
    // to parent (the caller places the returned layout).
    QHBoxLayout* makeHelpRow(QWidget* parent);

    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    QVBoxLayout* m_body;
    bool m_placed = false;
};

} // namespace quen
