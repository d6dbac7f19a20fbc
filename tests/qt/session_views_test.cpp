// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTableWidget>
#include <QTest>

namespace quillon::testing {
namespace {

// What the user reads: whole at a normal size; at the smallest window the
// long texts lose their middle, never more than that.
TEST(StatusBarView, ElidesInTheMiddleAndNeverToAFewLetters) {
    WindowsFixture t;
    t.p().state.current_mode = OperatingMode::file_transfer;
    t.p().state.file_mode = FileForm::binary;
    t.p().state.send_filename = "/home/ann/pictures from the summer holiday by the sea in 2026/beach at noon, the long one.bmp";
    t.p().events.dialling("5551002");
    t.run_for(0.5);
    QWidget &main = t.front->main;
    const char *elided[] = {"status_call", "status_port", "status_mode"};
    for (QSize size : {QSize(1600, 700), main.minimumSizeHint()}) {
        SCOPED_TRACE(size.width());
        main.resize(size);
        QApplication::processEvents();
        for (const char *name : elided) {
            auto *label = t.widget<QLabel>(name);
            ASSERT_TRUE(label);
            const QString shown = label->text();
            const QString whole = label->toolTip();
            if (size.width() == 1600) {
                EXPECT_EQ(shown, whole) << name << " " << label->width() << " of " << label->sizeHint().width()
                                        << " in " << main.width();
            } else if (shown != whole) {
                EXPECT_GE(shown.size(), 12) << name << " cut to " << shown.toStdString();
                EXPECT_TRUE(whole.startsWith(shown.section(QChar(0x2026), 0, 0)) &&
                            whole.endsWith(shown.section(QChar(0x2026), 1)))
                    << name << " elided in the middle: " << shown.toStdString();
            }
        }
    }
    EXPECT_TRUE(t.widget<QLabel>("status_mode")->text().contains(QChar(0x2026)))
        << "the smallest window has no room for the path";
}

// The names come from the book; only a number is dialled, and a call
// stored while the window is open shows at once, one still up does not.
TEST(CallHistoryView, ListsTheCallsAndItsDialButtonDialsTheNumber) {
    WindowsFixture t;
    t.p().dataaddress->add("Bob", "5551002");
    CallEvents &events = t.p().events;
    events.dialling("5551002");
    events.dial_failed(DialOutcome::busy);
    events.ringing();
    events.connected();
    events.call_ended(CallEnd::carrier_lost);

    t.w().mnucallhistory.choose();
    QWidget &window = t.front->history;
    EXPECT_TRUE(window.isVisible());
    auto *table = t.widget<QTableWidget>("grdcalls", &window);
    auto *dial = t.widget<QAbstractButton>("cmdhistorydial", &window);
    ASSERT_TRUE(table && dial);
    ASSERT_EQ(table->rowCount(), 2);
    const auto row = [&](int r) {
        return table->item(r, 1)->text() + "|" + table->item(r, 2)->text() + "|" + table->item(r, 3)->text();
    };
    EXPECT_EQ(row(0), "|incoming|connected");
    EXPECT_EQ(row(1), "Bob|5551002|busy");
    EXPECT_FALSE(dial->isEnabled());
    table->setCurrentCell(0, 0);
    EXPECT_FALSE(dial->isEnabled()) << "an incoming call has no number to dial";

    table->setCurrentCell(1, 0);
    ASSERT_TRUE(dial->isEnabled());
    QTest::mouseClick(dial, Qt::LeftButton);
    EXPECT_EQ(t.p().state.dial_number, "5551002");
    t.w().cmddial.click();
    EXPECT_NE(t.port(1).written.find("ATDT5551002\r"), std::string::npos) << "and it dials";
    events.connected();
    EXPECT_EQ(table->rowCount(), 2);
    events.call_ended(CallEnd::hung_up);
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(0, 2)->text(), "5551002");

    window.close();
    EXPECT_FALSE(t.p().frmhistory.visible());
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace quillon::testing
