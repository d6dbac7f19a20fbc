// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/dbus_notifier.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>

namespace quillon {
namespace {

// Wherever the tests run there may be no session bus or no notification
// service: a notice must then cost nothing and fail nowhere.
TEST(DbusNotifier, NeverWaitsForTheDesktopAndSendsTheBodyAsText) {
    QWidget window;
    DbusNotifier notifier(window, QStringLiteral("/nowhere/quillon.png"));
    EXPECT_FALSE(notifier.window_active()) << "a hidden window is not in front";
    auto start = std::chrono::steady_clock::now();
    notifier.notify("Incoming call", "", false);
    notifier.notify("Incoming call", "From 5551001", true);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    QTest::qWait(100); // whatever answer comes is taken in passing

    // The body goes as text, never markup.
    EXPECT_EQ(DbusNotifier::plain_body("<b>Ann</b> & <a href=\"x\">co</a><img src=\"/y\"/>"),
              QStringLiteral("&lt;b&gt;Ann&lt;/b&gt; &amp; &lt;a href=\"x\"&gt;co&lt;/a&gt;&lt;img src=\"/y\"/&gt;"));
    EXPECT_EQ(DbusNotifier::plain_body("&amp;"), QStringLiteral("&amp;amp;"));
}

} // namespace
} // namespace quillon
