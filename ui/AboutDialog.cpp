#include "AboutDialog.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Database.h"

namespace quen {

TAboutDialog::TAboutDialog(const QString& caption, const QString& title, const QStringList& lines,
                           QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(caption);
    auto* v = new QVBoxLayout(this);
    auto* panel = new QFrame(this);
    m_panel = panel;
    panel->setFrameShape(QFrame::StyledPanel);
    auto* pv = new QVBoxLayout(panel);
    auto* t = new QLabel(title, panel);
    QFont f = t->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    t->setFont(f);
    t->setAlignment(Qt::AlignCenter);
    pv->addWidget(t);
    for (const QString& line : lines) {
        if (line.isEmpty()) {
            pv->addSpacing(8);
            continue;
        }
        auto* l = new QLabel(line, panel);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignCenter);
        pv->addWidget(l);
    }
    v->addWidget(panel);
    DatabaseLabel = new QLabel(databaseText(), this);
    DatabaseLabel->setObjectName(QStringLiteral("DatabaseLabel"));
    DatabaseLabel->setWordWrap(true);
    DatabaseLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    v->addWidget(DatabaseLabel);
    auto* box = new QDialogButtonBox(this);
    QPushButton* ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    v->addWidget(box);
    setMinimumWidth(420);
}

QStringList TAboutDialog::texts() const
{
    QStringList out;
    for (QLabel* l : m_panel->findChildren<QLabel*>()) out << l->text();
    return out;
}

QString TAboutDialog::databaseText()
{
    QString where;
    try {
        where = Database::resolveAlias();
    } catch (...) {
        where = QStringLiteral("(not set)");
    }
    where = Database::shownLocation(where);
    return QStringLiteral("Database (alias Quenpm): %1\nSettings file: %2").arg(where, Database::settingsFile());
}

QStringList TAboutDialog::publicationLines()
{
    return {QStringLiteral("National Engineering Handbook, Part 623, Chapter 2, Irrigation Water Requirements"),
            QStringLiteral("FAO Irrigation and Drainage Paper 56, \"Crop Evapotranspiration\""),
            QStringLiteral("ASCE, The ASCE Standardized Reference Evapotranspiration Equation"),
            QStringLiteral("Technical Release No 21 (TR21), Irrigation Water Requirements")};
}

} // namespace quen
