// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/status_bar_view.h"

#include "qt/core_guard.h"
#include "qt/elided_label.h"
#include "session/status_model.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

namespace quillon {

namespace {

void show_indicator(QLabel &label, const char *name, bool on) {
    QString line = QString::fromLatin1(name);
    QString text = (on ? QStringLiteral("\u25CF ") : QStringLiteral("\u25CB ")) + line;
    // A new style sheet draws the label again, and lays the bar out again.
    if (label.text() == text) return;
    label.setText(text);
    label.setToolTip(line + (on ? QStringLiteral(" on") : QStringLiteral(" off")));
    label.setStyleSheet(on ? QStringLiteral("color: #1a7f37; font-weight: bold;") : QStringLiteral("color: gray;"));
}

} // namespace

StatusBarView::StatusBarView(StatusModel &model, QWidget *parent) : QFrame(parent), model_(model) {
    setObjectName(QStringLiteral("statusbar"));
    setFrameShape(QFrame::StyledPanel);
    new QHBoxLayout(this);
    layout()->setContentsMargins(6, 2, 6, 2);
    call_ = add_elided("status_call");
    online_ = add_label("status_online");
    online_->setToolTip(QStringLiteral("Time online"));
    const char *names[] = {"status_dtr", "status_dsr", "status_dcd", "status_ri"};
    for (int i = 0; i < 4; ++i)
        lines_[i] = add_label(names[i]);
    port_ = add_elided("status_port");
    dial_mode_ = add_label("status_dialmode");
    mode_ = add_elided("status_mode");
    model_.on_change = [this] { refresh(); };
    refresh();
    // The modes the menus set and the lines a click changes show at once,
    // not at the model's next reading.
    qApp->installEventFilter(this);
}

bool StatusBarView::eventFilter(QObject *watched, QEvent *event) {
    bool user_action = event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::KeyRelease;
    if (user_action && !reading_due_) {
        reading_due_ = true;
        QTimer::singleShot(0, this, [this] {
            reading_due_ = false;
            call_core([this] { model_.refresh(); });
        });
    }
    return QFrame::eventFilter(watched, event);
}

StatusBarView::~StatusBarView() {
    model_.on_change = nullptr;
}

QLabel *StatusBarView::add_label(const char *name) {
    auto *label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    layout()->addWidget(label);
    return label;
}

// A long file name or device is elided, not allowed to widen the window.
// Without stretch factors each gets room by what it has to show.
ElidedLabel *StatusBarView::add_elided(const char *name) {
    auto *label = new ElidedLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    layout()->addWidget(label);
    return label;
}

void StatusBarView::refresh() {
    call_->set_whole_text(QString::fromStdString(model_.call_text()));
    online_->setText(QString::fromStdString(model_.online_text()));
    const StatusReading &r = model_.reading();
    show_indicator(*lines_[0], "DTR", r.dtr);
    show_indicator(*lines_[1], "DSR", r.dsr);
    show_indicator(*lines_[2], "DCD", r.dcd);
    show_indicator(*lines_[3], "RI", r.ri);
    port_->set_whole_text(QString::fromStdString(model_.port_text()));
    // A tooltip set again is an event for every filter of the application.
    QString port_tip = QString::fromStdString(model_.port_full_text());
    if (port_->toolTip() != port_tip) port_->setToolTip(port_tip);
    dial_mode_->setText(QString::fromStdString(model_.dial_mode_text()));
    mode_->set_whole_text(QString::fromStdString(model_.mode_text()));
}

} // namespace quillon
