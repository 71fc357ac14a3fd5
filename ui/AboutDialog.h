// TAboutDialog: the about box of the three programs: a caption, a title in
// bold, further lines (an empty line leaves a gap) and an "OK" button.
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;

namespace quen {

class TAboutDialog : public QDialog {
    Q_OBJECT
public:
    TAboutDialog(const QString& caption, const QString& title, const QStringList& lines,
                 QWidget* parent = nullptr);
    // The publications the computations and tables follow, one line each.
    static QStringList publicationLines();
    // Texts of the title and the lines, top to bottom (for checks).
    QStringList texts() const;
    // Where the alias "Quenpm" points (a server address without its password)
    // and the per-user settings file that can name it.
    static QString databaseText();
    QLabel* DatabaseLabel;

private:
    QWidget* m_panel;
};

} // namespace quen
