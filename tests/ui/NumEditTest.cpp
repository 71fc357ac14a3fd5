// Numeric entry fields: picture masks, range refusal, Enter moving focus.
#include <gtest/gtest.h>

#include <QApplication>
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

TEST(NumEdit, TypingRefusesKeysThatBreakThePicture)
{
    TNumEdit e("####", -200, 9999);
    e.show();
    QTest::keyClicks(&e, "12a3.45");
    EXPECT_EQ(e.text(), "1234");
    EXPECT_TRUE(e.markedModified());
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

TEST(NumEdit, AcceptedEntryIsShownInThePictureFormat)
{
    TScriptedMessages msgs;
    QWidget w;
    auto* v = new QVBoxLayout(&w);
    auto* n = new TNumEdit("##.##", 0, 50, &w);
    auto* other = new QLineEdit(&w);
    v->addWidget(n);
    v->addWidget(other);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));

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
