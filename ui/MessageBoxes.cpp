#include "MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "Application.h"
#include "Help.h"

namespace quen {

MsgResult TMessageBoxService::show(MsgKind kind, const QString& text, MsgButtons buttons,
                                   int helpContext, const QString& caption)
{
    QMessageBox box(QApplication::activeWindow());
    box.setText(text);
    QString title = caption;
    switch (kind) {
    case MsgKind::Information:
        box.setIcon(QMessageBox::Information);
        if (title.isEmpty()) title = applicationTitle();
        break;
    case MsgKind::Warning:
        box.setIcon(QMessageBox::Warning);
        if (title.isEmpty()) title = applicationTitle();
        break;
    case MsgKind::Error:
        box.setIcon(QMessageBox::Critical);
        if (title.isEmpty()) title = applicationTitle();
        break;
    case MsgKind::Confirmation:
        box.setIcon(QMessageBox::Question);
        if (title.isEmpty()) title = applicationTitle();
        break;
    }
    if (title.isEmpty()) title = QApplication::applicationName();
    box.setWindowTitle(title);

    QPushButton* help = nullptr;
    switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNoHelp:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        help = box.addButton(QStringLiteral("&Help"), QMessageBox::HelpRole);
        break;
    }
    // The Help button shows the topic and leaves the question open.
    for (;;) {
        box.exec();
        if (help && box.clickedButton() == help) {
            if (helpContext > 0) showHelpContext(helpContext);
            else showHelpContents();
            continue;
        }
        break;
    }
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok: return MsgResult::Ok;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    default: break;
    }
    // Closed by the window's close box: the negative answer of its buttons.
    switch (buttons) {
    case MsgButtons::Ok: return MsgResult::Ok;
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel: return MsgResult::Cancel;
    default: return MsgResult::No;
    }
}

void installMessageBoxes()
{
    static TMessageBoxService service;
    setMessageService(&service);
}

TScriptedMessages::TScriptedMessages() { m_previous = setMessageService(this); }

TScriptedMessages::~TScriptedMessages() { setMessageService(m_previous); }

MsgResult TScriptedMessages::show(MsgKind kind, const QString& text, MsgButtons buttons,
                                  int helpContext, const QString& caption)
{
    m_shown.append({kind, text, buttons, helpContext, caption});
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    switch (buttons) {
    case MsgButtons::Ok:
    case MsgButtons::OkCancel: return MsgResult::Ok;
    default: return MsgResult::Yes;
    }
}

QStringList TScriptedMessages::texts() const
{
    QStringList out;
    for (const auto& s : m_shown) out << s.text;
    return out;
}

} // namespace quen
