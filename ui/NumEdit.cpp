#include "NumEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
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

QString TPicture::format(double v) const
{
    return QString::number(v, 'f', valid ? decimals : 2);
}

QValidator::State TPictureValidator::validate(QString& input, int&) const
{
    if (!m_picture.fitsWhileTyping(input)) return Invalid;
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

QString TNumEdit::rangeMessage() const
{
    return QStringLiteral("Enter a number from %1 to %2.").arg(numberText(m_lo), numberText(m_hi));
}

bool TNumEdit::commit()
{
    const QString t = text().trimmed();
    if (t == m_committedText) return true;
    if (m_committing) return false;
    m_committing = true;
    bool ok = false;
    const double v = t.toDouble(&ok);
    QString refusal;
    if (t.isEmpty()) {
        if (m_blank) { m_committing = false; return true; }
        refusal = QStringLiteral("A value is required here. ");
        if (m_lo != 0 || m_hi != 0) refusal += rangeMessage();
    } else if (!ok || !m_pic.fitsWhileTyping(t)) {
        refusal = QStringLiteral("\"%1\" is not a valid number.").arg(t);
        if (m_lo != 0 || m_hi != 0) refusal += QLatin1Char(' ') + rangeMessage();
    } else if ((m_lo != 0 || m_hi != 0) && (v < m_lo || v > m_hi)) {
        refusal = QStringLiteral("%1 is out of range. ").arg(t) + rangeMessage();
    }
    if (!refusal.isEmpty()) {
        // Restore first so that the message box's focus change finds the
        // previous value already in place.
        setText(m_committedText);
        showError(refusal);
        m_committing = false;
        return false;
    }
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

void TNumEdit::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        if (commit()) focusNextControl(this);
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void TNumEdit::focusInEvent(QFocusEvent* e)
{
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
    commit();
    emit exited();
}

} // namespace quen
