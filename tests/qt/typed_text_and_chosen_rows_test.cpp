// SPDX-License-Identifier: GPL-3.0-or-later
// What the user types or pastes reaches the model as typed, a selection is
// replaced like in any editor, and a click chooses any grid row.
#include "windows_fixture.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <QTextDocument>

namespace quillon::testing {
namespace {

TEST(InputLineView, PastedTypedAndEditedTextReachesTheModelExactly) {
    WindowsFixture t;
    t.front->main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&t.front->main));
    QPlainTextEdit *input = t.focused_input();
    ASSERT_TRUE(input);
    // Control pictures, a non-breaking space, an emoji, line breaks of every kind.
    input->insertPlainText(QString::fromUtf16(u"\u241b[0m\u2400 a\u00a0b\u2028c\r\nd \U0001F600"));
    const std::string typed = "\xE2\x90\x9B[0m\xE2\x90\x80 a\xC2\xA0"
                              "b\r\nc\r\nd \xF0\x9F\x98\x80";
    EXPECT_EQ(t.w().txtsend.text(), typed);

    t.p().state.current_mode = OperatingMode::chat;
    t.w().cmdsend.set_enabled(true);
    t.w().cmdsend.click();
    EXPECT_EQ(t.port(1).written, "AT&D2\r" + typed) << "sent as typed";

    // The model's bytes shown and typed on stay the same bytes.
    t.w().txtsend.set_text(typed);
    EXPECT_EQ(input->document()->toRawText(), QString::fromUtf16(u"\u241b[0m\u2400 a\u00a0b\u2029c\u2029d \U0001F600"));
    input->moveCursor(QTextCursor::End);
    QTest::keyClicks(input, "!");
    EXPECT_EQ(t.w().txtsend.text(), typed + "!");

    // Edits leave the bytes they did not touch, invalid ones among them.
    t.w().txtsend.set_text("a\x1b[1m\rb\n\xFF"
                           "c\r\n");
    input->moveCursor(QTextCursor::End);
    QTest::keyClick(input, Qt::Key_Tab);
    input->moveCursor(QTextCursor::Start);
    QTest::keyClick(input, Qt::Key_Delete);
    EXPECT_EQ(t.w().txtsend.text(), "\x1b[1m\rb\n\xFF"
                                    "c\r\n\t");
    EXPECT_TRUE(input->hasFocus()) << "Tab is typed";
    QTest::keyClick(input, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_FALSE(input->hasFocus()) << "Ctrl+Tab moves on";
}

void click_cell(QTableView *grid, int row, int column) {
    QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

TEST(AddressGridView, AClickChoosesTheCurrentRowAndTheOnlyRow) {
    WindowsFixture t;
    t.p().dataaddress->add("Ann", "5551002");
    t.p().dataaddress->add("Bob", "5551003");
    t.p().dataaddress->refresh(); // as at start-up: the first row is current
    auto *grid = t.widget<QTableView>("DBGrid1");
    auto *input = t.widget<QPlainTextEdit>("txtsend");
    ASSERT_TRUE(grid && input);
    EXPECT_FALSE(grid->isVisible());
    t.w().mnuaddressall.choose();
    ASSERT_TRUE(grid->isVisible());
    EXPECT_EQ(grid->geometry(), input->geometry()) << "the grid covers the input line";
    ASSERT_EQ(grid->model()->rowCount(), 2);
    EXPECT_EQ(grid->model()->index(1, 0).data().toString(), "Bob");
    EXPECT_EQ(grid->model()->index(1, 1).data().toString(), "5551003");
    ASSERT_EQ(grid->currentIndex().row(), 0) << "the first row is highlighted";
    EXPECT_FALSE(t.w().cmddial.enabled());
    click_cell(grid, 0, 1);
    EXPECT_EQ(t.p().state.dial_number, "5551002");
    EXPECT_TRUE(t.w().cmddial.enabled());
    click_cell(grid, 1, 0);
    EXPECT_EQ(t.p().state.dial_number, "5551003");
    QTest::keyClick(grid, Qt::Key_Up);
    EXPECT_EQ(t.p().state.dial_number, "5551002") << "the keys choose too";
    t.w().cmdre.click();

    ASSERT_TRUE(t.p().dataaddress->find_first("Bob"));
    t.p().dataaddress->delete_current();
    t.p().dataaddress->refresh();
    t.w().mnuaddressall.choose();
    ASSERT_EQ(grid->model()->rowCount(), 1);
    click_cell(grid, 0, 0);
    EXPECT_EQ(t.p().state.dial_number, "5551002");
    EXPECT_TRUE(t.w().cmddial.enabled());
}

} // namespace
} // namespace quillon::testing
