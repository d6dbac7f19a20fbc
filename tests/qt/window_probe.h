// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace quillon::testing {

// Deals with the next pop-up menu or modal box of type T while the code
// under test is blocked in it: inspect runs once the box is up and must
// close it. A box that never comes up, or stays up, is a failure and is
// closed, so a test never hangs on one.
template <typename T> void on_next_window(std::function<void(T &)> inspect, int timeout_ms = 5000) {
    auto *poll = new QTimer;
    auto waited = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, waited, timeout_ms, inspect = std::move(inspect)] {
        QWidget *up = QApplication::activePopupWidget();
        if (!up) up = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<T *>(up)) {
            poll->deleteLater();
            poll->stop();
            inspect(*box);
            QTimer::singleShot(timeout_ms, box, [box] {
                if (!box->isVisible()) return;
                ADD_FAILURE() << box->metaObject()->className() << " stayed up";
                box->close();
            });
            return;
        }
        *waited += poll->interval();
        if (*waited < timeout_ms) return;
        poll->deleteLater();
        poll->stop();
        ADD_FAILURE() << "no " << T::staticMetaObject.className() << " came up";
        if (up) up->close();
    });
    poll->start(10);
}

} // namespace quillon::testing
