#include "qt/output_box.h"
#include "windows_fixture.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>

#include <vector>

namespace quillon::testing {
namespace {

std::vector<Button *> every_button(MainForm &f) {
    std::vector<Button *> out{&f.cmddial, &f.cmdre, &f.cmdcan, &f.cmdsend, &f.Cmddialtone, &f.Cmdconfig};
    for (Button &b : f.Cmddialn) out.push_back(&b);
    return out;
}

TEST(MainWindowView, EveryButtonFollowsItsModel) {
    WindowsFixture t(WindowsFixture::Pictures::generated);
    for (Button *model : every_button(t.w())) {
        SCOPED_TRACE(model->name());
        auto *button = t.widget<QAbstractButton>(model->name().c_str());
        ASSERT_TRUE(button);
        EXPECT_FALSE(button->icon().isNull()) << "its picture";
        EXPECT_EQ(button->toolTip().toStdString(), model->tooltip());
        for (bool on : {false, true, false}) {
            model->set_enabled(on);
            EXPECT_EQ(button->isEnabled(), on);
        }
        model->set_visible(false);
        EXPECT_FALSE(button->isVisible());
        model->set_visible(true);
        EXPECT_TRUE(button->isVisible());
    }
}

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
    EXPECT_EQ(five->text(), "5");
    EXPECT_EQ(dial->text(), "Dial") << "no caption: the tooltip";
}

TEST(MainWindowView, LabelsAndTheProgressBarFollowTheirModels) {
    WindowsFixture t;
    auto *chat = t.widget<QLabel>("lblchat");
    auto *received = t.widget<QLabel>("Lblchatreceived");
    auto *bar = t.widget<QProgressBar>("ProgressBar1");
    ASSERT_TRUE(chat && received && bar);
    EXPECT_EQ(chat->text(), "Your chat message goes here");
    EXPECT_EQ(received->text(), "Incoming message goes here");
    t.w().lblchat.set_caption("Enter new name here:");
    EXPECT_EQ(chat->text(), "Enter new name here:");

    EXPECT_FALSE(bar->isVisible());
    t.w().ProgressBar1.set_visible(true);
    t.w().ProgressBar1.set_max(3000);
    t.w().ProgressBar1.set_value(750);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_DOUBLE_EQ(double(bar->value()) / bar->maximum(), 0.25);
    t.w().ProgressBar1.set_value(4000);
    EXPECT_EQ(bar->value(), bar->maximum()) << "beyond the maximum shows full";
}

TEST(MainWindowView, TypingGoesToTheModelAndTheModelsTextToTheBox) {
    WindowsFixture t;
    auto *input = t.widget<QPlainTextEdit>("txtsend");
    ASSERT_TRUE(input);
    input->setFocus();
    QTest::keyClicks(input, "hello");
    EXPECT_EQ(t.w().txtsend.text(), "hello");
    EXPECT_EQ(t.w().txtsend.caret(), 5u);

    t.w().txtsend.set_text("from the program\r\nsecond");
    EXPECT_EQ(input->toPlainText(), "from the program\nsecond");
    EXPECT_EQ(input->textCursor().position(), 0) << "replaced text puts the caret at the start";
    t.w().txtsend.set_locked(true);
    EXPECT_TRUE(input->isReadOnly());
}

TEST(MainWindowView, EnterRunsTheKeyHandlerBeforeTheLineBreakGoesInAtTheCaret) {
    WindowsFixture t;
    auto *input = t.widget<QPlainTextEdit>("txtsend");
    ASSERT_TRUE(input);
    input->setFocus();
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

TEST(MainWindowView, EnterAnswersAnAddressBookPromptAndThenBreaksTheLine) {
    WindowsFixture t;
    auto *input = t.widget<QPlainTextEdit>("txtsend");
    ASSERT_TRUE(input);
    input->setFocus();
    t.w().mnuaddessadd.choose();
    QTest::keyClicks(input, "Ann");
    QTest::keyClick(input, Qt::Key_Enter);
    EXPECT_EQ(t.p().state.entry_name, "Ann");
    EXPECT_EQ(t.widget<QLabel>("lblchat")->text(), "Enter phone no.:");
    EXPECT_EQ(t.w().txtsend.text(), "\r\n") << "the handler emptied it, then the break went in";
    EXPECT_EQ(input->toPlainText(), "\n");
}

TEST(MainWindowView, ClosingTheWindowAsksTheCore) {
    WindowsFixture t;
    int closes = 0;
    t.w().on_close = [&] { ++closes; };
    t.front->main.close();
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(t.front->main.isVisible()) << "the core's unload ends the program, not the window";
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
