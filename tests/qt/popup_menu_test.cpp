// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_probe.h"
#include "windows_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QTest>

namespace quillon::testing {
namespace {

// A menu as the user sees it, one line per entry, submenus indented:
// "[x]" ticked, "( )" disabled, "---" a separator, ">" opens a submenu.
void describe(const QMenu &menu, const QString &indent, QStringList &out) {
    for (QAction *a : menu.actions()) {
        if (a->isSeparator()) {
            out << indent + "---";
            continue;
        }
        QString line = indent + a->text();
        if (a->isChecked()) line += " [x]";
        if (!a->isEnabled()) line += " ( )";
        if (a->menu()) line += " >";
        out << line;
        if (a->menu()) describe(*a->menu(), indent + "  ", out);
    }
}

// Presses Cmdconfig on screen and returns the menu that came up, as described.
QStringList menu_shown_by_cmdconfig(WindowsFixture &t) {
    QStringList shown;
    on_next_window<QMenu>([&](QMenu &menu) {
        describe(menu, "", shown);
        menu.close();
    });
    QTest::mouseClick(t.widget<QAbstractButton>("Cmdconfig"), Qt::LeftButton);
    return shown;
}

TEST(PopupMenu, CmdconfigOpensTheMenuBuiltAfreshFromTheModels) {
    WindowsFixture t;
    QStringList shown = menu_shown_by_cmdconfig(t);
    for (const char *line : {"  Comm 1 [x]", "  Set tone dialling [x]", "  ---", "Operating Mode ( ) >", "    Binary"})
        EXPECT_TRUE(shown.contains(line)) << line;

    t.w().mnudialpulse.choose();
    t.w().mnuaddress.set_enabled(false);
    t.w().mnumode.set_enabled(true);
    QStringList again = menu_shown_by_cmdconfig(t);
    EXPECT_TRUE(again.contains("  Set pulse dialling [x]"));
    EXPECT_TRUE(again.contains("  Set tone dialling"));
    EXPECT_TRUE(again.contains("Address Book ( ) >"));
    EXPECT_TRUE(again.contains("Operating Mode >"));
}

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
