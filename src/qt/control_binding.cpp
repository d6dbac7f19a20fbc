// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/control_binding.h"

#include "qt/core_guard.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace quillon {

void ControlBindings::refresh_all() {
    for (auto &[control, refresh] : refresh_)
        refresh();
}

void ControlBindings::control_changed(Control &control) {
    auto it = refresh_.find(&control);
    if (it != refresh_.end()) it->second();
}

void ControlBindings::text_appended(Control &control, std::string_view appended) {
    auto it = append_.find(&control);
    if (it != append_.end())
        it->second(appended);
    else
        control_changed(control);
}

void show_common(QWidget &widget, const Control &control) {
    widget.setEnabled(control.enabled());
    widget.setToolTip(QString::fromStdString(control.tooltip()));
    if (widget.isHidden() == control.visible()) widget.setVisible(control.visible());
}

void show_window(QWidget &window, const Form &form) {
    window.setEnabled(form.enabled());
    // The window remembers which of the form's requests to come to the
    // front it has followed.
    const char *followed = "quillon_front_requests";
    bool front_asked = window.property(followed).toULongLong() != form.front_requests();
    window.setProperty(followed, QVariant::fromValue<qulonglong>(form.front_requests()));
    bool coming_up = form.visible() && !window.isVisible();
    if (form.visible() != window.isVisible()) window.setVisible(form.visible());
    if (form.visible() && (coming_up || front_asked)) {
        window.raise();
        window.activateWindow();
    }
}

void close_window(Form &form, QCloseEvent &event) {
    call_core([&form] {
        if (form.on_close)
            form.close();
        else
            form.set_visible(false);
    });
    if (form.visible())
        event.ignore();
    else
        event.accept();
}

void show_progress(QProgressBar &bar, const ProgressBar &model) {
    double span = model.max() - model.min();
    double done = span > 0 ? (model.value() - model.min()) / span : 0.0;
    if (!std::isfinite(done)) done = 0.0;
    done = std::fmin(1.0, std::fmax(0.0, done));
    bar.setRange(0, progress_scale);
    bar.setValue(static_cast<int>(std::lround(done * progress_scale)));
}

} // namespace quillon
