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
    // Texts of all labels, top to bottom (for checks).
    QStringList texts() const;
};

} // namespace quen
