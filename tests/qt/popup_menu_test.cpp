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
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down})
            QTest::keyClick(QApplication::activePopupWidget(), key);
        auto *sub = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (sub && sub->activeAction()) chosen = sub->activeAction()->text();
        EXPECT_FALSE(t.w().mnuport3.checked()) << "nothing runs while the menu is up";
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
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
