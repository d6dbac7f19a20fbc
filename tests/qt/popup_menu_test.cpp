// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_probe.h"
#include "windows_fixture.h"

#include <QAbstractButton>
#include <QMenu>
#include <QTest>

namespace quillon::testing {
namespace {

TEST(PopupMenu, TheChosenItemRunsItsHandlerOnceTheMenuHasClosed) {
    WindowsFixture t;
    t.port(3);
    QString chosen;
    on_next_window<QMenu>([&](QMenu &) {
        // As a user at the keyboard: into "Port Selection", down to "Comm 3".
        auto press = [](Qt::Key key) { QTest::keyClick(QApplication::activePopupWidget(), key); };
        press(Qt::Key_Down);
        press(Qt::Key_Right);
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        auto *sub = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (sub && sub->activeAction()) chosen = sub->activeAction()->text();
        EXPECT_FALSE(t.w().mnuport3.checked()) << "nothing runs while the menu is up";
        press(Qt::Key_Return);
    });
    QTest::mouseClick(t.widget<QAbstractButton>("Cmdconfig"), Qt::LeftButton);
    EXPECT_EQ(chosen, "Comm 3");
    EXPECT_TRUE(t.w().mnuport3.checked());
    EXPECT_FALSE(t.w().mnuport1.checked());
    EXPECT_EQ(t.p().MSComm1.comm_port(), 3);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

} // namespace
} // namespace quillon::testing
