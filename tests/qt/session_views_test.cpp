#include "windows_fixture.h"

#include <QAbstractButton>
#include <QTableWidget>
#include <QTest>

namespace quillon::testing {
namespace {

TEST(CallHistoryView, ListsTheCallsAndItsDialButtonPutsTheNumberUp) {
    WindowsFixture t;
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
    EXPECT_EQ(table->item(0, 2)->text(), "incoming");
    EXPECT_EQ(table->item(0, 3)->text(), "connected");
    EXPECT_EQ(table->item(1, 2)->text(), "5551002");
    EXPECT_EQ(table->item(1, 3)->text(), "busy");
    EXPECT_FALSE(dial->isEnabled());

    table->setCurrentCell(1, 0);
    ASSERT_TRUE(dial->isEnabled());
    QTest::mouseClick(dial, Qt::LeftButton);
    EXPECT_EQ(t.p().state.dial_number, "5551002");
    EXPECT_TRUE(t.w().cmddial.enabled());

    // A call stored while the window is open shows at once.
    events.dialling("42");
    events.dial_failed(DialOutcome::no_carrier);
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(0, 2)->text(), "42");

    window.close();
    EXPECT_FALSE(t.p().frmhistory.visible());
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace quillon::testing
