#include "qt/output_box.h"
#include "windows_fixture.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QTest>

namespace quillon::testing {
namespace {

TEST(KeyboardDialling, KeysWorkTheKeypadWhileTheInputLineIsEmptyAndUnfocused) {
    WindowsFixture t;
    t.run_for(6); // the first readiness check enables the keypad
    auto *four = t.widget<QAbstractButton>("Cmddialn(4)");
    auto *output = t.widget<OutputBox>("txtreceived");
    auto *input = t.widget<QPlainTextEdit>("txtsend");
    ASSERT_TRUE(four && output && input);
    EXPECT_EQ(four->toolTip(), "Key 4");

    // Keys a focused keypad button or the output box does not take go on
    // to the window.
    four->setFocus();
    QTest::keyClick(four, Qt::Key_4);
    QTest::keyClick(four, Qt::Key_2, Qt::KeypadModifier);
    output->setFocus();
    QTest::keyClick(output, Qt::Key_7);
    EXPECT_EQ(t.p().state.dial_number, "427");
    EXPECT_EQ(t.w().txtreceived.text(), "427");
    QTest::keyClick(output, Qt::Key_Backspace);
    EXPECT_EQ(t.p().state.dial_number, "42");
    EXPECT_EQ(t.w().txtreceived.text(), "42");
    QTest::keyClick(output, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(output, Qt::Key_Return);
    EXPECT_NE(t.port(1).written.find("ATDT42\r"), std::string::npos);
    EXPECT_EQ(t.p().state.dial_number, "");
    EXPECT_FALSE(t.w().cmddial.enabled());

    QTest::keyClick(output, Qt::Key_Enter);
    EXPECT_EQ(t.port(1).written.find("ATDT\r"), std::string::npos) << "the dial button is disabled";
    QTest::keyClick(output, Qt::Key_5);
    QTest::keyClick(output, Qt::Key_Backspace);
    QTest::keyClick(output, Qt::Key_Backspace);
    EXPECT_EQ(t.p().state.dial_number, "");
    EXPECT_FALSE(t.w().cmddial.enabled()) << "nothing left to dial";

    t.w().Cmddialn[9].set_enabled(false);
    QTest::keyClick(output, Qt::Key_9);
    EXPECT_EQ(t.p().state.dial_number, "") << "a disabled button stays unpressed";
}

TEST(KeyboardDialling, TheInputLineKeepsItsKeys) {
    WindowsFixture t;
    t.run_for(6);
    auto *input = t.widget<QPlainTextEdit>("txtsend");
    auto *output = t.widget<OutputBox>("txtreceived");
    ASSERT_TRUE(input && output);
    input->setFocus();
    QTest::keyClick(input, Qt::Key_5);
    EXPECT_EQ(t.w().txtsend.text(), "5");
    EXPECT_EQ(t.p().state.dial_number, "");

    output->setFocus();
    QTest::keyClick(output, Qt::Key_6);
    EXPECT_EQ(t.p().state.dial_number, "") << "the input line holds text";
    EXPECT_EQ(t.w().txtsend.text(), "5");
}

} // namespace
} // namespace quillon::testing
