// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "session/notifier.h"

#include <QObject>
#include <QString>

class QWidget;

namespace quillon {

// Notices through the desktop's notification service
// (org.freedesktop.Notifications on the session bus). Calls never wait for
// an answer; where no bus or no service answers, nothing is shown.
class DbusNotifier : public QObject, public Notifier {
public:
    // window is the main window; icon a picture file for the notices.
    DbusNotifier(QWidget &window, QString icon);

    bool window_active() override;
    void notify(const std::string &summary, const std::string &body, bool replace_last) override;

    // A body comes from the line or a file (a caller's number, a received
    // file's name); services read it as their small markup, so it goes as
    // text with &, < and > escaped.
    static QString plain_body(const std::string &body);

private:
    QWidget &window_;
    QString icon_;
    // The service's id of the last notice shown, for replacing it.
    uint last_id_ = 0;
};

} // namespace quillon
