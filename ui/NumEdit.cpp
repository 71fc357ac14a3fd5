#include "NumEdit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <cmath>

#include "EnterFocus.h"
#include "MessageService.h"

namespace quen {

TPicture TPicture::parse(const QString& mask)
{
    TPicture p;
    bool afterPoint = false;
    bool sawI = false, sawHash = false;
    for (QChar c : mask) {
        if (c == QLatin1Char('#') || c == QLatin1Char('i') || c == QLatin1Char('9')) {
            if (c == QLatin1Char('i')) sawI = true; else sawHash = true;
            (afterPoint ? p.decimals : p.integerPlaces)++;
        } else if (c == QLatin1Char('.') && !afterPoint) {
            afterPoint = true;
        } else {
            return TPicture{};
        }
    }
    p.signAllowed = !(sawI && !sawHash);
    p.valid = p.integerPlaces + p.decimals > 0;
    return p;
}

bool TPicture::fitsWhileTyping(const QString& text) const
{
    if (!valid) return true;
    int i = 0;
    int intChars = 0;
    const int n = int(text.size());
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        if (!signAllowed) return false;
        ++i;
        ++intChars;
    }
    while (i < n && text[i].isDigit()) { ++i; ++intChars; }
    if (intChars > integerPlaces) return false;
    if (i < n && text[i] == QLatin1Char('.')) {
        if (decimals == 0) return false;
        ++i;
        int dec = 0;
        while (i < n && text[i].isDigit()) { ++i; ++dec; }
        if (dec > decimals) return false;
    }
    return i == n;
}

double TPicture::largest() const
{
    return std::pow(10.0, integerPlaces) - std::pow(10.0, -decimals);
}

double TPicture::smallest() const
{
    if (!signAllowed) return 0;
    return -(std::pow(10.0, integerPlaces - 1) - std::pow(10.0, -decimals));
}

QString TPicture::format(double v) const
{
    return QString::number(v, 'f', valid ? decimals : 2);
}

// Never Invalid: a refused keystroke would vanish and leave a different
// number behind; the commit refuses what does not fit, with a message.
QValidator::State TPictureValidator::validate(QString& input, int&) const
{
    if (!m_picture.fitsWhileTyping(input)) return Intermediate;
    bool ok = false;
    input.toDouble(&ok);
    return ok ? Acceptable : Intermediate;
}

TNumEdit::TNumEdit(QWidget* parent) : QLineEdit(parent) { init(); }

TNumEdit::TNumEdit(const QString& picture, double lo, double hi, QWidget* parent)
    : QLineEdit(parent)
{
    init();
    setPicture(picture);
    setRange(lo, hi);
}

void TNumEdit::init()
{
    m_validator = new TPictureValidator(this);
    setValidator(m_validator);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(this, &QLineEdit::textEdited, this, [this] {
        m_modified = true;
        emit changed();
    });
}

void TNumEdit::setPicture(const QString& mask)
{
    m_mask = mask;
    m_pic = TPicture::parse(mask);
    // The validator limits what the user types; a value set by the program
    // (a converted partner value) is always shown in full.
    m_validator->setPicture(m_pic);
}

void TNumEdit::setRange(double lo, double hi)
{
    m_lo = lo;
    m_hi = hi;
}

int TNumEdit::intValue() const { return int(std::lround(m_value)); }

void TNumEdit::setValue(double v)
{
    m_value = v;
    m_blank = false;
    m_committedText = m_pic.format(v);
    setText(m_committedText);
}

void TNumEdit::setValueText(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok) {
        clearValue();
        return;
    }
    m_value = v;
    m_blank = false;
    m_committedText = text.trimmed();
    setText(m_committedText);
}

void TNumEdit::clearValue()
{
    m_value = 0;
    m_blank = true;
    m_committedText.clear();
    setText(QString());
}

static QString numberText(double v) { return QString::number(v, 'g', 15); }

QString TNumEdit::fieldCaption() const
{
    if (!m_caption.isEmpty()) return m_caption;
    if (QWidget* w = window()) {
        for (QLabel* l : w->findChildren<QLabel*>()) {
            if (l->buddy() != this) continue;
            QString t = l->text();
            t.remove(QLatin1Char('&'));
            t = t.trimmed();
            while (t.endsWith(QLatin1Char(':'))) t.chop(1);
            return t.trimmed();
        }
    }
    return QString();
}

QString TNumEdit::rangeMessage() const
{
    if (!m_rangeHint.isEmpty()) return m_rangeHint;
    double lo = m_lo, hi = m_hi;
    if (m_pic.valid) {
        // What the picture holds bounds the range it states.
        if (lo == 0 && hi == 0) {
            lo = m_pic.smallest();
            hi = m_pic.largest();
        } else {
            lo = std::max(lo, m_pic.smallest());
            hi = std::min(hi, m_pic.largest());
        }
    }
    return QStringLiteral("Enter a number from %1 to %2.").arg(numberText(lo), numberText(hi));
}

bool TNumEdit::hasPendingEntry() const { return text().trimmed() != m_committedText; }

QString TNumEdit::refusalOf(const QString& text) const
{
    const QString t = text.trimmed();
    const bool hasRange = m_lo != 0 || m_hi != 0 || m_pic.valid || !m_rangeHint.isEmpty();
    const QString tail = hasRange ? QLatin1Char(' ') + rangeMessage() : QString();
    QString why;
    // Shape: optional sign, digits, optional point and digits; at least one digit.
    int i = 0, intDigits = 0, decDigits = 0;
    const int n = int(t.size());
    const bool sign = n > 0 && (t[0] == QLatin1Char('-') || t[0] == QLatin1Char('+'));
    if (sign) ++i;
    while (i < n && t[i].isDigit()) { ++i; ++intDigits; }
    bool point = false;
    if (i < n && t[i] == QLatin1Char('.')) {
        point = true;
        ++i;
        while (i < n && t[i].isDigit()) { ++i; ++decDigits; }
    }
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (t.isEmpty()) {
        why = QStringLiteral("A value is required here.");
    } else if (i != n || intDigits + decDigits == 0 || !ok) {
        why = QStringLiteral("\"%1\" is not a valid number.").arg(t);
    } else if (m_pic.valid && (decDigits > m_pic.decimals || (point && m_pic.decimals == 0))) {
        why = m_pic.decimals == 0 ? QStringLiteral("%1 is not a whole number.").arg(t)
                                  : QStringLiteral("%1 has more than %2 decimals.").arg(t).arg(m_pic.decimals);
    } else if ((m_pic.valid && !m_pic.fitsWhileTyping(t))
               || ((m_lo != 0 || m_hi != 0) && (v < m_lo || v > m_hi))
               || (m_accept && !m_accept(v))) {
        why = QStringLiteral("%1 is out of range.").arg(t);
    } else {
        return QString();
    }
    const QString name = fieldCaption();
    return (name.isEmpty() ? QString() : name + QStringLiteral(": ")) + why + tail;
}

bool TNumEdit::commit()
{
    const QString t = text().trimmed();
    if (t == m_committedText) return true;
    if (m_committing) return false;
    if (t.isEmpty() && m_blank) return true;
    m_committing = true;
    const QString refusal = refusalOf(t);
    if (!refusal.isEmpty()) {
        // Restore first so that the message box's focus change finds the
        // previous value already in place.
        setText(m_committedText);
        showError(refusal);
        m_committing = false;
        return false;
    }
    const double v = t.toDouble();
    // The accepted entry is shown in the picture's format ("20" becomes
    // "20.00" in a "##.##" field), as a value set by the program is.
    m_value = v == 0 ? 0.0 : v;
    m_blank = false;
    m_committedText = m_pic.valid ? m_pic.format(m_value) : t;
    if (text() != m_committedText) setText(m_committedText);
    m_committing = false;
    emit valueCommitted(m_value);
    return true;
}

// The field whose entry was refused as the focus left it, until the focus is
// back: the click or key that took the focus away must not go on to close
// or store as if the field had been left.
static QPointer<TNumEdit>& refusedField()
{
    static QPointer<TNumEdit> f;
    return f;
}

static bool refusalPendingIn(QWidget* window)
{
    TNumEdit* f = refusedField();
    return f && (!window || f->window() == window);
}

bool commitPendingEntry(QWidget* window)
{
    if (refusalPendingIn(window)) return false;
    QWidget* f = window ? window->focusWidget() : QApplication::focusWidget();
    auto* n = qobject_cast<TNumEdit*>(f);
    return !n || n->leave();
}

void TNumEdit::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        if (commit()) focusNextControl(this);
        return;
    }
    // Escape closes the window (or cancels) with the entry committed first,
    // as leaving the field would; a refused entry keeps the window open.
    if (e->key() == Qt::Key_Escape && !leave()) {
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

bool TNumEdit::leave()
{
    if (!commit()) return false;
    if (!m_exitDone) {
        m_exitDone = true;
        emit exited();
    }
    return true;
}

void TNumEdit::focusInEvent(QFocusEvent* e)
{
    m_exitDone = false;
    QLineEdit::focusInEvent(e);
    if (m_caretToEnd) {
        QTimer::singleShot(0, this, [this] { deselect(); end(false); });
    }
}

void TNumEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    // A focus change to a popup (menu, message box of our own) is not a leave.
    if (e->reason() == Qt::PopupFocusReason || m_committing) return;
    if (!commit()) {
        // Refused: the field is not left. The focus comes back once the
        // change that took it away is over.
        refusedField() = this;
        QPointer<TNumEdit> self(this);
        QTimer::singleShot(0, this, [self] {
            if (refusedField() == self) refusedField() = nullptr;
            if (!self || !self->isVisible() || !self->isEnabled()) return;
            QWidget* now = QApplication::focusWidget();
            if (now && now->window() != self->window()) return;
            self->setFocus(Qt::OtherFocusReason);
        });
        return;
    }
    if (!m_exitDone) {
        m_exitDone = true;
        emit exited();
    }
}

void TNumEdit::showEvent(QShowEvent* e)
{
    QLineEdit::showEvent(e);
    QWidget* w = window();
    if (w == m_watchedWindow || w == this) return;
    if (m_watchedWindow) m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = w;
    w->installEventFilter(this);
}

// Closing the window by its close box or close() takes the entry being
// typed as leaving the field does, before the window's own close handling
// posts; a refused entry keeps the window open.
bool TNumEdit::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != m_watchedWindow || e->type() != QEvent::Close) return QLineEdit::eventFilter(watched, e);
    const bool refused = refusedField() == this || (m_watchedWindow->focusWidget() == this && !leave());
    if (refused) {
        e->ignore();
        return true;
    }
    return QLineEdit::eventFilter(watched, e);
}

} // namespace quen
