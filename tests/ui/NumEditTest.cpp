// Numeric entry fields: picture masks, range refusal, Enter moving focus.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include "EnterFocus.h"
#include "MessageBoxes.h"
#include "NumEdit.h"

using namespace quen;

TEST(Picture, MasksLimitDigitsSignAndDecimals)
{
    const TPicture elev = TPicture::parse("####");
    EXPECT_TRUE(elev.fitsWhileTyping("9999"));
    EXPECT_TRUE(elev.fitsWhileTyping("-200"));
    EXPECT_FALSE(elev.fitsWhileTyping("10000"));
    EXPECT_FALSE(elev.fitsWhileTyping("12.5"));   // no decimals in "####"
    EXPECT_FALSE(elev.fitsWhileTyping("12a"));

    const TPicture ratio = TPicture::parse("#.##");
    EXPECT_TRUE(ratio.fitsWhileTyping("0.85"));
    EXPECT_TRUE(ratio.fitsWhileTyping("1."));
    EXPECT_FALSE(ratio.fitsWhileTyping("10.5"));
    EXPECT_FALSE(ratio.fitsWhileTyping("1.234"));

    const TPicture metres = TPicture::parse("####.#");
    EXPECT_TRUE(metres.fitsWhileTyping("-500.0"));
    EXPECT_FALSE(metres.fitsWhileTyping("304.85"));
    EXPECT_EQ(metres.format(304.8), "304.8");
    EXPECT_EQ(TPicture::parse("####").format(328.083), "328");

    const TPicture day = TPicture::parse("ii");
    EXPECT_TRUE(day.fitsWhileTyping("31"));
    EXPECT_FALSE(day.fitsWhileTyping("-1"));      // integer pictures take no sign
    EXPECT_FALSE(day.fitsWhileTyping("123"));
    EXPECT_FALSE(day.fitsWhileTyping("1.5"));
    EXPECT_TRUE(TPicture::parse("iii").fitsWhileTyping("365"));
    EXPECT_TRUE(TPicture::parse("##.##").fitsWhileTyping("10.00"));
    EXPECT_TRUE(TPicture::parse("###.#").fitsWhileTyping("99.9"));
    EXPECT_FALSE(TPicture::parse("#.#").fitsWhileTyping("0.35"));
    EXPECT_FALSE(TPicture::parse("x#").valid);
}

TEST(NumEdit, TypingKeepsEveryKeyAndTheCommitRefusesWhatDoesNotFit)
{
    // A key that does not fit the picture is not dropped: the text left
    // would be a different, plausible number (12000 cut to 1200).
    TScriptedMessages msgs;
    TNumEdit e("####", -200, 9999);
    e.setValue(100);
    e.show();
    e.selectAll();
    QTest::keyClicks(&e, "12000");
    EXPECT_EQ(e.text(), "12000");
    EXPECT_TRUE(e.markedModified());
    EXPECT_FALSE(e.commit());
    EXPECT_EQ(e.text(), "100");
    EXPECT_DOUBLE_EQ(e.value(), 100);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_EQ(msgs.lastText(), "12000 is out of range. Enter a number from -200 to 9999.");

    e.selectAll();
    QTest::keyClicks(&e, "12a3.45");
    EXPECT_EQ(e.text(), "12a3.45");
    EXPECT_FALSE(e.commit());
    EXPECT_EQ(e.text(), "100");
    EXPECT_TRUE(msgs.lastText().contains("not a valid number"));
}

// The cases seen in the planners' fields: each refused with the field's name
// and range, the previous value kept; nothing stored that was not typed.
TEST(NumEdit, DigitsDecimalsAndSignsBeyondThePictureAreRefusedNamingTheField)
{
    TScriptedMessages msgs;
    struct Case {
        const char* picture;
        double lo, hi;
        const char* caption;
        const char* typed;
        const char* message;
    } cases[] = {
        {"##.#", 0.1, 99, "Percent total available water (ASW)", "100",
         "Percent total available water (ASW): 100 is out of range. Enter a number from 0.1 to 99."},
        {"#.##", 0, 9.99, "Carryover used at beginning of each season", "10",
         "Carryover used at beginning of each season: 10 is out of range. Enter a number from 0 to 9.99."},
        {"ii", 1, 99, "Development", "999", "Development: 999 is out of range. Enter a number from 1 to 99."},
        {"ii", 1, 99, "Development", "-1", "Development: -1 is out of range. Enter a number from 1 to 99."},
        {"ii", 1, 99, "Development", "-", "Development: \"-\" is not a valid number. Enter a number from 1 to 99."},
        {"#.##", 0.01, 9.99, "Normal year", "12.345",
         "Normal year: 12.345 has more than 2 decimals. Enter a number from 0.01 to 9.99."},
        {"#.##", 0.01, 9.99, "Normal year", "1.234",
         "Normal year: 1.234 has more than 2 decimals. Enter a number from 0.01 to 9.99."},
        {"#.##", 0, 1, "Stress Factor (Ks)", "3", "Stress Factor (Ks): 3 is out of range. Enter a number from 0 to 1."},
        // Without a range of its own a field takes what its picture holds.
        {"iii", 0, 0, "Days", "1000", "Days: 1000 is out of range. Enter a number from 0 to 999."},
        {"iii", 0, 0, "Days", "-5", "Days: -5 is out of range. Enter a number from 0 to 999."},
        {"####", 0, 0, "Latitude", "32.5", "Latitude: 32.5 is not a whole number. Enter a number from -999 to 9999."},
        {"#.##", 0, 0, "Kc", "1.5e1", "Kc: \"1.5e1\" is not a valid number. Enter a number from -0.99 to 9.99."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.picture) + " " + c.typed);
        msgs.clear();
        TNumEdit e(c.picture, c.lo, c.hi);
        e.setFieldCaption(c.caption);
        e.setValue(c.lo == 0 && c.hi == 0 ? 1 : c.lo);
        const QString before = e.text();
        e.setText(c.typed);
        EXPECT_FALSE(e.commit());
        EXPECT_EQ(e.text(), before);
        ASSERT_EQ(msgs.count(), 1);
        EXPECT_EQ(msgs.lastText(), QString::fromUtf8(c.message));
    }

    // The name comes from the label whose buddy the field is, else it is left out.
    QWidget w;
    auto* v = new QVBoxLayout(&w);
    auto* l = new QLabel("&Stress Factor (Ks):", &w);
    auto* n = new TNumEdit("#.##", 0, 1, &w);
    l->setBuddy(n);
    v->addWidget(l);
    v->addWidget(n);
    EXPECT_EQ(n->fieldCaption(), "Stress Factor (Ks)");
    // A form of its own replaces the range, and an extra condition refuses too.
    TNumEdit lat("####", 100, 9000);
    lat.setFieldCaption("Latitude");
    lat.setRangeHint("Enter degrees and minutes run together (DDMM).");
    lat.setAcceptor([](double x) { return int(x) % 100 < 60; });
    EXPECT_EQ(lat.refusalOf("4375"), "Latitude: 4375 is out of range. Enter degrees and minutes run together (DDMM).");
    EXPECT_EQ(lat.refusalOf("4330"), "");
}

TEST(NumEdit, OutOfRangeAndUnparsableEntriesAreRefusedAndPreviousValueKept)
{
    TScriptedMessages msgs;
    TNumEdit e("####", -200, 9999);
    e.setValue(100);
    EXPECT_FALSE(e.markedModified());   // set by the program, not the user

    int committed = 0;
    QObject::connect(&e, &TNumEdit::valueCommitted, [&](double) { ++committed; });

    e.setText("-300");
    EXPECT_FALSE(e.commit());
    EXPECT_EQ(e.text(), "100");
    EXPECT_DOUBLE_EQ(e.value(), 100);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_EQ(msgs.shown()[0].kind, MsgKind::Error);
    EXPECT_TRUE(msgs.lastText().contains("-200")) << msgs.lastText().toStdString();
    EXPECT_TRUE(msgs.lastText().contains("9999"));

    e.setText("-");
    EXPECT_FALSE(e.commit());
    EXPECT_EQ(e.text(), "100");
    EXPECT_TRUE(msgs.lastText().contains("not a valid number"));

    e.setText("");
    EXPECT_FALSE(e.commit());
    EXPECT_EQ(e.text(), "100");

    e.setText("-200");
    EXPECT_TRUE(e.commit());
    EXPECT_DOUBLE_EQ(e.value(), -200);
    EXPECT_EQ(committed, 1);
    EXPECT_EQ(msgs.count(), 3);

    // Unchanged text is no new entry and no message.
    EXPECT_TRUE(e.commit());
    EXPECT_EQ(committed, 1);

    // A blank field left blank is fine.
    TNumEdit blank("#.##", 0.01, 9.99);
    EXPECT_TRUE(blank.isBlank());
    EXPECT_TRUE(blank.commit());
    EXPECT_EQ(msgs.count(), 3);
}

TEST(NumEdit, ProgramValuesBeyondThePictureAreShownInFull)
{
    // 9999 m is 32805 ft: the feet field shows it whole, not cut to 4 places.
    TNumEdit feet("####", -200, 9999);
    feet.setValue(9999 * 3.28083);
    EXPECT_EQ(feet.text(), "32805");
}

TEST(EnterKey, MovesFocusToTheNextControlInTabOrder)
{
    TScriptedMessages msgs;
    QWidget w;
    auto* v = new QVBoxLayout(&w);
    auto* a = new QLineEdit(&w);
    auto* n = new TNumEdit("####.#", -500, 9999, &w);
    auto* b = new QLineEdit(&w);
    v->addWidget(a);
    v->addWidget(n);
    v->addWidget(b);
    installEnterMovesFocus(a);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

    a->setFocus();
    QTest::keyClick(a, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), n);

    QTest::keyClicks(n, "304.8");
    QTest::keyClick(n, Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), b);
    EXPECT_DOUBLE_EQ(n->value(), 304.8);

    // A refused entry keeps the focus where it is.
    n->setFocus();
    n->selectAll();
    QTest::keyClicks(n, "-600");
    QTest::keyClick(n, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), n);
    EXPECT_EQ(n->text(), "304.8");
    EXPECT_EQ(msgs.count(), 1);

    // Leaving by focus change commits too.
    n->selectAll();
    QTest::keyClicks(n, "12");
    b->setFocus();
    EXPECT_DOUBLE_EQ(n->value(), 12);
}

namespace {

// A numeric field and a line edit after it, in a window of their own.
struct FieldAndNext {
    QWidget w;
    TNumEdit* n;
    QLineEdit* other;
    FieldAndNext(const char* picture, double lo, double hi)
        : n(new TNumEdit(picture, lo, hi, &w)), other(new QLineEdit(&w))
    {
        auto* v = new QVBoxLayout(&w);
        v->addWidget(n);
        v->addWidget(other);
    }
    bool showActive()
    {
        w.show();
        w.activateWindow();
        return QTest::qWaitForWindowActive(&w);
    }
};

} // namespace

TEST(NumEdit, AcceptedEntryIsShownInThePictureFormat)
{
    TScriptedMessages msgs;
    FieldAndNext f("##.##", 0, 50);
    ASSERT_TRUE(f.showActive());
    TNumEdit* n = f.n;
    QLineEdit* other = f.other;

    n->setFocus();
    QTest::keyClicks(n, "20");
    other->setFocus();               // leaving the field commits and formats
    EXPECT_EQ(n->text(), "20.00");
    EXPECT_DOUBLE_EQ(n->value(), 20);

    n->setFocus();
    n->selectAll();
    QTest::keyClicks(n, "7.5");
    QTest::keyClick(n, Qt::Key_Return);
    EXPECT_EQ(n->text(), "7.50");
    // The formatted text is the committed one: leaving again is no new entry.
    int committed = 0;
    QObject::connect(n, &TNumEdit::valueCommitted, [&](double) { ++committed; });
    EXPECT_TRUE(n->commit());
    EXPECT_EQ(committed, 0);
    EXPECT_EQ(msgs.count(), 0);

    // Integer pictures keep whole numbers; "-0" is shown as 0.
    TNumEdit day("####", -200, 9999);
    day.setText("-0");
    EXPECT_TRUE(day.commit());
    EXPECT_EQ(day.text(), "0");
}

TEST(NumEdit, AfterARefusalTheFocusStaysOnTheField)
{
    TScriptedMessages msgs;
    FieldAndNext f("#.##", 0, 1);
    ASSERT_TRUE(f.showActive());
    TNumEdit* n = f.n;
    QLineEdit* other = f.other;
    int exits = 0;
    QObject::connect(n, &TNumEdit::exited, [&] { ++exits; });

    n->setFocus();
    n->setValue(0.5);
    n->selectAll();
    QTest::keyClicks(n, "3");
    QTest::keyClick(n, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(msgs.count(), 1);
    EXPECT_EQ(QApplication::focusWidget(), n);
    EXPECT_EQ(n->text(), "0.50");
    EXPECT_EQ(exits, 0);   // not left: no leave handling on the old value

    other->setFocus();     // leaving again with the value kept is a plain leave
    QApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), other);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(msgs.count(), 1);
}

// Closing a window by Escape, by its close box or by a command that does not
// take the focus stores the value being typed, as leaving the field does.
TEST(NumEdit, ClosingTheWindowAnyWayCommitsTheEntryBeingTyped)
{
    TScriptedMessages msgs;
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        QDialog d;
        auto* v = new QVBoxLayout(&d);
        auto* n = new TNumEdit("##.#", 0.1, 99, &d);
        v->addWidget(n);
        v->addWidget(new QLineEdit(&d));
        double stored = -1;
        QObject::connect(n, &TNumEdit::valueCommitted, [&](double x) { stored = x; });
        d.show();
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        n->setFocus();
        n->setValue(50);
        n->selectAll();
        QTest::keyClicks(n, "40");
        bool accepted = true;
        auto closeIt = [&] {
            if (way == 0) QTest::keyClick(n, Qt::Key_Escape);
            else if (way == 1) d.close();
            else accepted = commitPendingEntry(&d);
        };
        closeIt();
        EXPECT_TRUE(accepted);
        EXPECT_DOUBLE_EQ(stored, 40);
        EXPECT_EQ(msgs.count(), 0);
        if (way < 2) EXPECT_FALSE(d.isVisible());

        // A refused entry keeps the window open, the field focused.
        d.show();
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        n->setFocus();
        n->selectAll();
        QTest::keyClicks(n, "100");
        closeIt();
        EXPECT_EQ(msgs.count(), 1);
        EXPECT_EQ(n->text(), "40.0");
        if (way < 2) EXPECT_TRUE(d.isVisible());
        else EXPECT_FALSE(accepted);
        msgs.clear();
    }
}
