// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/dbus_notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>

namespace quillon {

DbusNotifier::DbusNotifier(QWidget &window, QString icon) : window_(window), icon_(std::move(icon)) {}

bool DbusNotifier::window_active() {
    return window_.isActiveWindow();
}

QString DbusNotifier::plain_body(const std::string &body) {
    QString text = QString::fromStdString(body);
    text.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    text.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    text.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return text;
}

void DbusNotifier::notify(const std::string &summary, const std::string &body, bool replace_last) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QStringLiteral("Quillon") << (replace_last ? last_id_ : 0u) << icon_ << QString::fromStdString(summary)
         << plain_body(body) << QStringList() << QVariantMap() << qint32(-1);
    auto *answer = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
        QDBusPendingReply<uint> reply = *finished;
        if (!reply.isError()) last_id_ = reply.value();
        finished->deleteLater();
    });
}

} // namespace quillon
