// TNumEdit: numeric entry field with a picture mask and a value range.
//
// Picture masks: '#' is a digit position (the leading one may take a sign),
// 'i' a digit of an integer field (no sign), '.' the decimal point; so
// "####" takes -999..9999 as text, "####.#" one decimal, "#.##" two decimals
// with one integer digit, "ii" a two-digit integer. Every key the planner
// types stays in the field: a mask never drops a keystroke, since the text
// left over would look like a valid, different number (12000 cut to 1200).
// When the entry is committed (Enter, the focus leaving the field, Escape or
// any close of its window) the text is checked against the picture and the
// range; an entry that is not a number, has too many digits or decimals, a
// sign the picture does not take, or lies outside the range is refused with
// one message naming the field and its range, the previous value comes back
// and the focus stays on the field. A field without a range of its own takes
// what its picture holds ("ii": 0 to 99). An accepted entry is shown in the
// picture's format ("20" in a "##.##" field shows as "20.00"), as setValue()
// shows a value.
//
// The field's name in messages is its caption (setFieldCaption), else the
// text of the label whose buddy it is; a data-aware field falls back to its
// field name.
//
// Enter moves the focus to the next control in tab order. markedModified()
// is the "modified" flag of the field: set when the user types, cleared or
// set by the window with setMarkedModified(); setValue() leaves it alone.
// Signals: changed() on every keystroke of the user (the change event),
// valueCommitted(v) when a new value is accepted, exited() when the focus has
// left the field or its window closes (after the commit; the value is valid
// then). A refused entry is no leave: exited() waits for the next one.
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <QValidator>
#include <functional>

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
    // The smallest and largest numbers the picture holds (a sign takes one
    // of the integer places).
    double smallest() const;
    double largest() const;
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
    // Name of the field in messages.
    void setFieldCaption(const QString& caption) { m_caption = caption; }
    virtual QString fieldCaption() const;
    // Replaces "Enter a number from lo to hi." in messages (a field whose
    // numbers have a form of their own, such as degrees and minutes).
    void setRangeHint(const QString& hint) { m_rangeHint = hint; }
    // An extra condition an accepted value must meet (refused as out of range).
    void setAcceptor(std::function<bool(double)> accept) { m_accept = std::move(accept); }

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
    // The text differs from the value last accepted or set.
    bool hasPendingEntry() const;
    // Commits and, when accepted, emits exited() as the focus leaving would
    // (once until the field has the focus again): a window closing by
    // Escape, its close box or a command that does not take the focus.
    bool leave();

    // Message texts of a refusal (used by commit(); public for tests).
    QString rangeMessage() const;
    // Why text would be refused ("" when it would be accepted).
    QString refusalOf(const QString& text) const;

signals:
    void changed();
    void valueCommitted(double value);
    void exited();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

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
    bool m_exitDone = false;   // exited() emitted since the focus came in
    QString m_caption;
    QString m_rangeHint;
    std::function<bool(double)> m_accept;
    QPointer<QWidget> m_watchedWindow;   // its close commits the entry first
};

// Commits the entry of the numeric field that has the focus in window (the
// focused widget of the application when window is null); true when there
// is none or it was accepted. Windows call it before they post on closing
// or leaving edit mode, so that a value being typed is stored as if the
// field had been left.
bool commitPendingEntry(QWidget* window);

} // namespace quen
