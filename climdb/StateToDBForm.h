// TStateToDBForm, "Save State To Database": the state file import. The user
// picks a "*.quen" file, sees it read-only, and on OK (after the question)
// every station of the climate database is replaced by the file's stations.
#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quen::climprog {

class TStateToDBForm : public QDialog {
    Q_OBJECT
public:
    explicit TStateToDBForm(QWidget* parent = nullptr);

    QPushButton* SelectFileBtn;     // "Select State *.quen File"
    QLineEdit* FileNameEdit;        // the chosen file (80 characters)
    QPlainTextEdit* FileViewer;     // the file, read-only
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // Shows path in the viewer and its name in the field.
    void setFile(const QString& path);
    // The file dialog; a test may answer it instead.
    static std::function<QString(QWidget*)> chooseFile;
    // Stations stored by the last import; -1 when nothing was changed.
    int lastResult() const { return m_result; }

public slots:
    void SelectFileBtnClick();
    void OKBtnClick();
    void CancelBtnClick();

private:
    QString m_path;
    int m_result = -1;
};

} // namespace quen::climprog
