// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/form.h"

#include <functional>
#include <map>
#include <string_view>

class QCloseEvent;
class QProgressBar;
class QWidget;

namespace quillon {

class ProgressBar;

// A form's view: runs the refresh bound to whichever control changed.
class ControlBindings : public FormView {
public:
    void bind(const Control &control, std::function<void()> refresh) { refresh_[&control] = std::move(refresh); }
    void bind_append(const Control &control, std::function<void(std::string_view)> append) {
        append_[&control] = std::move(append);
    }
    // Runs every bound refresh, to show a form as it stands.
    void refresh_all();

    void control_changed(Control &control) override;
    void text_appended(Control &control, std::string_view appended) override;

private:
    std::map<const Control *, std::function<void()>> refresh_;
    std::map<const Control *, std::function<void(std::string_view)>> append_;
};

// Enabled state, visibility and tooltip, which every control has.
void show_common(QWidget &widget, const Control &control);

// A second window comes and goes with its form's visible flag; one that
// comes up, or whose form asks for it, is raised above the others and
// gets the focus.
void show_window(QWidget &window, const Form &form);
// The user closes a second window: the form's unload runs, and the window
// stays up only while the form still says visible.
void close_window(Form &form, QCloseEvent &event);

// Qt's bar counts in int; the model's min, max and value are any doubles,
// so the bar shows the fraction done on a fixed scale.
void show_progress(QProgressBar &bar, const ProgressBar &model);
constexpr int progress_scale = 10000;

} // namespace quillon
