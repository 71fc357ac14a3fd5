// TNumEdit: numeric entry field with a picture mask and a value range.
//
// Picture masks: '#' is a digit position (the leading one may take a sign),
// 'i' a digit of an integer field (no sign), '.' the decimal point; so
// "####" takes -999..9999 as text, "####.#" one decimal, "#.##" two decimals
// with one integer digit, "ii" a two-digit integer. Keys that would break the
// mask are refused as they are typed. When the entry is committed (Enter, or
// the focus leaving the field) the text is parsed and checked against the
// range; an unparsable or out-of-range entry is refused with a message
// through the message service and the previous value comes back. An accepted
// entry is shown in the picture's format ("20" in a "##.##" field shows as
// "20.00"), as setValue() shows a value.
//
// Enter moves the focus to the next control in tab order. markedModified()
// is the "modified" flag of the field: set when the user types, cleared or
// set by the window with setMarkedModified(); setValue() leaves it alone.
// Signals: changed() on every keystroke of the user (the change event),
// valueCommitted(v) when a new value is accepted, exited() when the focus has
// left the field (after the commit; the value is valid then).
#pragma once

#include <QLineEdit>
#include <QString>
#include <QValidator>

namespace quen {

// A parsed picture mask.
struct TPicture {
    int integerPlaces = 0;   // positions before the point (a sign takes one)
    int decimals = 0;        // positions after the point
    bool signAllowed = true; // '#' pictures take a sign, 'i' pictures do not
    bool valid = false;

    static TPicture parse(const QString& mask);
    // Whether text fits the mask as typed so far (may be incomplete).
    bool fitsWhileTyping(const QString& text) const;
    // Text of v with the picture's number of decimals.
    QString format(double v) const;
};

class TPictureValidator : public QValidator {
    Q_OBJECT
public:
    explicit TPictureValidator(QObject* parent = nullptr) : QValidator(parent) {}
    void setPicture(const TPicture& p) { m_picture = p; }
    State validate(QString& input, int& pos) const override;

private:
    TPicture m_picture;
};

class TNumEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TNumEdit(QWidget* parent = nullptr);
    TNumEdit(const QString& picture, double lo, double hi, QWidget* parent = nullptr);

    void setPicture(const QString& mask);
    QString picture() const { return m_mask; }
    // Range lo..hi inclusive; lo == hi == 0 means no range check.
    void setRange(double lo, double hi);
    double minimum() const { return m_lo; }
    double maximum() const { return m_hi; }
    void setCaretToEnd(bool on) { m_caretToEnd = on; }

    // Value shown; 0 when the field is blank.
    double value() const { return m_value; }
    int intValue() const;
    bool isBlank() const { return m_blank; }
    // Shows v (formatted by the picture) as the field's value.
    void setValue(double v);
    // Shows text as it stands (e.g. a stored field's text); a text that is
    // not a number leaves the field blank.
    void setValueText(const QString& text);
    void clearValue();

    bool markedModified() const { return m_modified; }
    void setMarkedModified(bool on) { m_modified = on; }

    // Checks the typed text; true when accepted (or unchanged). On refusal
    // the message is shown and the previous value restored.
    bool commit();

    // Message texts of a refusal (used by commit(); public for tests).
    QString rangeMessage() const;

signals:
    void changed();
    void valueCommitted(double value);
    void exited();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void init();
    QString m_mask;
    TPicture m_pic;
    TPictureValidator* m_validator = nullptr;
    double m_lo = 0, m_hi = 0;
    double m_value = 0;
    bool m_blank = true;
    QString m_committedText;
    bool m_modified = false;
    bool m_caretToEnd = false;
    bool m_committing = false;
};

} // namespace quen
