#include "Application.h"

#include "Database.h"
#include "Help.h"
#include "MessageBoxes.h"
#include "MessageService.h"

namespace quen {

static QString g_title;

void setApplicationTitle(const QString& title) { g_title = title; }
QString applicationTitle() { return g_title; }

TQuenApplication::TQuenApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    installHelpKey(this);
}

bool TQuenApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showException(e);
    } catch (...) {
        messages().show(MsgKind::Error, QStringLiteral("An unexpected error occurred."));
    }
    return false;
}

void TQuenApplication::showException(const std::exception& e)
{
    QString text = QString::fromUtf8(e.what());
    if (text.isEmpty())
        text = QStringLiteral("An unexpected error occurred.");
    messages().show(MsgKind::Error, text);
}

bool TQuenApplication::startProgram(const QString& programName)
{
    QApplication::setApplicationName(programName);
    installMessageBoxes();
    try {
        Database::open();
    } catch (const DbError& e) {
        showError(e.message());
        return false;
    }
    return true;
}

} // namespace quen
