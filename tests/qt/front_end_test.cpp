#include "qt/front_end.h"
#include "qt/popup_menu.h"
#include "support/program_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

namespace quillon {
namespace {

struct Windows : testing::ProgramFixture {
    Windows() {
        write_ini("PORTNO.=1\nDIALMODE=tone");
        port(1);
        EXPECT_TRUE(start());
        front = std::make_unique<FrontEnd>(p(), nullptr);
        front->main.show();
    }
    template <typename T> T* widget(const char* name) {
        T* w = front->main.findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    MainForm& w() { return p().frmmain; }
    std::unique_ptr<FrontEnd> front;
};

TEST(FrontEnd, ClicksReachTheHandlersAndModelsReachTheWidgets) {
    Windows t;
    t.run_for(6); // the first readiness check enables the keypad
    auto* five = t.widget<QAbstractButton>("Cmddialn(5)");
    auto* output = t.widget<QPlainTextEdit>("txtreceived");
    ASSERT_TRUE(five && output);
    EXPECT_TRUE(five->isEnabled());
    QTest::mouseClick(five, Qt::LeftButton);
    EXPECT_EQ(t.p().state.dial_number, "5");
    EXPECT_EQ(output->toPlainText(), "5");

    auto* dial = t.widget<QAbstractButton>("cmddial");
    EXPECT_TRUE(dial->isEnabled());
    QTest::mouseClick(dial, Qt::LeftButton);
    EXPECT_NE(t.port(1).written.find("ATDT5\r"), std::string::npos);
    EXPECT_FALSE(dial->isEnabled()) << "the model disabled it";

    t.w().txtreceived.set_text("line one\r\nline two");
    EXPECT_EQ(output->toPlainText(), "line one\nline two");
    t.w().txtreceived.append("\r\nthree");
    EXPECT_EQ(output->toPlainText(), "line one\nline two\nthree");

    t.w().ProgressBar1.set_visible(true);
    t.w().ProgressBar1.set_max(200);
    t.w().ProgressBar1.set_value(50);
    auto* bar = t.widget<QProgressBar>("ProgressBar1");
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->value() * 200 / bar->maximum(), 50);

    t.w().lblchat.set_caption("Enter new name here:");
    EXPECT_EQ(t.widget<QLabel>("lblchat")->text(), "Enter new name here:");
}

TEST(FrontEnd, EnterRunsTheKeyHandlerBeforeTheLineBreak) {
    Windows t;
    auto* input = t.widget<QPlainTextEdit>("txtsend");
    ASSERT_TRUE(input);
    input->setFocus();
    QTest::keyClicks(input, "hello");
    EXPECT_EQ(t.w().txtsend.text(), "hello");
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_EQ(t.w().txtsend.text(), "hello\r\n") << "chat: the line break at the caret";

    t.w().mnuaddessadd.choose();
    input->selectAll();
    QTest::keyClicks(input, "Ann");
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_EQ(t.w().lblchat.caption(), "Enter phone no.:");
    EXPECT_EQ(t.p().state.entry_name, "Ann");
    EXPECT_EQ(t.w().txtsend.text(), "\r\n") << "the handler emptied it, then the break went in";
    EXPECT_EQ(input->toPlainText(), "\n");
}

TEST(FrontEnd, ThePopUpMenuShowsEveryItemWithItsTick) {
    Windows t;
    auto menu = build_popup_menu(t.w().configmenu, &t.front->main);
    QStringList top;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) top << a->text();
    EXPECT_EQ(top, (QStringList{"Port Selection", "Dialling Properties", "Address Book", "Operating Mode", "Help"}));
    QAction* port1 = menu->findChild<QAction*>("mnuport1");
    ASSERT_TRUE(port1);
    EXPECT_TRUE(port1->isChecked());
    QAction* tone = menu->findChild<QAction*>("mnudialtone");
    ASSERT_TRUE(tone);
    EXPECT_TRUE(tone->isChecked());
    EXPECT_EQ(menu_item_of(tone), &t.w().mnudialtone);
}

} // namespace
} // namespace quillon
