// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/output_box.h"
#include "windows_fixture.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QTest>

namespace quillon::testing {
namespace {

TEST(MainWindowView, AButtonShowsTheModelsPictureAndItsCaptionWhenNoPictureLoads) {
    WindowsFixture t(WindowsFixture::Pictures::generated);
    auto *redial = t.widget<QAbstractButton>("cmdre");
    ASSERT_TRUE(redial);
    QImage usual = redial->icon().pixmap(44).toImage();
    t.w().cmdre.set_picture(t.p().files.program_file("images\\revert.jpg"));
    EXPECT_NE(redial->icon().pixmap(44).toImage(), usual);
    t.w().cmdre.set_picture(t.p().files.program_file("images\\redial.jpg"));
    EXPECT_EQ(redial->icon().pixmap(44).toImage(), usual);

    WindowsFixture bare;
    auto *five = bare.widget<QAbstractButton>("Cmddialn(5)");
    auto *dial = bare.widget<QAbstractButton>("cmddial");
    ASSERT_TRUE(five && dial);
    EXPECT_TRUE(five->icon().isNull());
    EXPECT_EQ(five->text() + "|" + dial->text(), "5|Dial") << "the dial button has no caption: its tooltip";
}

TEST(MainWindowView, EnterRunsTheKeyHandlerBeforeTheLineBreakGoesInAtTheCaret) {
    WindowsFixture t;
    QPlainTextEdit *input = t.focused_input();
    ASSERT_TRUE(input);
    QTest::keyClicks(input, "helloworld");
    for (int i = 0; i < 5; ++i) QTest::keyClick(input, Qt::Key_Left);

    std::string text_seen;
    std::size_t caret_seen = 0;
    auto core = t.w().on_txtsend_key_press;
    t.w().on_txtsend_key_press = [&](int key) {
        EXPECT_EQ(key, 13);
        text_seen = t.w().txtsend.text();
        caret_seen = t.w().txtsend.caret();
        core(key);
    };
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_EQ(text_seen, "helloworld") << "the handler ran first";
    EXPECT_EQ(caret_seen, 5u) << "with the caret where the user left it";
    EXPECT_EQ(t.w().txtsend.text(), "hello\r\nworld");
    EXPECT_EQ(input->toPlainText(), "hello\nworld");
    EXPECT_EQ(input->textCursor().position(), 6);
    EXPECT_EQ(t.port(1).written, "AT&D2\r") << "Enter sends nothing";
}

TEST(MainWindowView, KeysWorkTheKeypadWhileTheInputLineIsEmptyAndUnfocused) {
    WindowsFixture t;
    t.run_for(6); // the first readiness check enables the keypad
    auto *four = t.widget<QAbstractButton>("Cmddialn(4)");
    auto *output = t.widget<OutputBox>("txtreceived");
    QPlainTextEdit *input = t.focused_input();
    ASSERT_TRUE(four && output && input);

    // The input line keeps its keys; once it holds text, so do the others.
    QTest::keyClick(input, Qt::Key_5);
    output->setFocus();
    QTest::keyClick(output, Qt::Key_6);
    EXPECT_EQ(t.p().state.dial_number, "") << "the input line holds text";
    EXPECT_EQ(t.w().txtsend.text(), "5");
    t.w().txtsend.set_text("");

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
    for (Qt::Key key : {Qt::Key_5, Qt::Key_Backspace, Qt::Key_Backspace}) QTest::keyClick(output, key);
    EXPECT_EQ(t.p().state.dial_number, "");
    EXPECT_FALSE(t.w().cmddial.enabled()) << "nothing left to dial";

    t.w().Cmddialn[9].set_enabled(false);
    QTest::keyClick(output, Qt::Key_9);
    EXPECT_EQ(t.p().state.dial_number, "") << "a disabled button stays unpressed";

    // A number waiting through a call: the keys rest while it is up, and
    // Enter dials the number as it stood once it is over.
    QTest::keyClick(output, Qt::Key_8);
    t.port(1).lines.dcd = true;
    t.port(1).arrive("\r\nCONNECT 56000\r\n");
    t.run_for(3);
    ASSERT_EQ(t.p().state.connected, 1);
    const std::size_t before = t.port(1).written.size();
    for (Qt::Key key : {Qt::Key_1, Qt::Key_Backspace, Qt::Key_Return}) QTest::keyClick(output, key);
    EXPECT_EQ(t.port(1).written.substr(before), "");
    EXPECT_EQ(t.p().state.dial_number, "8");
    t.port(1).lines.dcd = false;
    t.run_for(6);
    QTest::keyClick(output, Qt::Key_Return);
    EXPECT_TRUE(t.port(1).written.ends_with("ATDT8\r"));
}

TEST(MainWindowViewDeathTest, ClosingTheWindowRunsTheShutDownAndEndsTheProcess) {
    // The child is forked from here, so it shares the program directory.
    GTEST_FLAG_SET(death_test_style, "fast");
    WindowsFixture t;
    t.port(3);
    t.w().mnuport3.choose();
    EXPECT_EXIT(t.front->main.close(), ::testing::ExitedWithCode(0), "");
    std::string ini = t.dir.read("quillon.ini");
    EXPECT_NE(ini.find("PORTNO.=3         \n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("DIALMODE=tone\n"), std::string::npos) << ini;
}

} // namespace
} // namespace quillon::testing
