// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/shared_text.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

class Control;

// The window toolkit's side of a form: told whenever a control changes.
class FormView {
public:
    virtual ~FormView() = default;
    virtual void control_changed(Control& control) = 0;
    // A text box grew by appended text; cheaper than a full redraw.
    virtual void text_appended(Control& control, std::string_view appended) = 0;
};

// One control of a form, named as the handlers name it ("cmddial").
class Control {
public:
    explicit Control(std::string name) : name_(std::move(name)) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    bool enabled() const { return enabled_; }
    bool visible() const { return visible_; }
    const std::string& tooltip() const { return tooltip_; }
    void set_enabled(bool on) { update(enabled_, on); }
    void set_visible(bool on) { update(visible_, on); }
    void set_tooltip(std::string text) { update(tooltip_, std::move(text)); }

    void attach(FormView* view) { view_ = view; }

protected:
    template <typename T> void update(T& field, T value) {
        if (field == value) return;
        field = std::move(value);
        changed();
    }
    void changed() {
        if (view_) view_->control_changed(*this);
    }
    FormView* view() const { return view_; }

private:
    std::string name_;
    bool enabled_ = true;
    bool visible_ = true;
    std::string tooltip_;
    FormView* view_ = nullptr;
};

// A push button, with a caption or a picture file (full path).
class Button : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return caption_; }
    const std::string& picture() const { return picture_; }
    void set_caption(std::string text) { update(caption_, std::move(text)); }
    void set_picture(std::string path) { update(picture_, std::move(path)); }
    void click() {
        if (enabled() && on_click) on_click();
    }
    std::function<void()> on_click;

private:
    std::string caption_;
    std::string picture_;
};

class Label : public Control {
public:
    using Control::Control;
    const std::string& caption() const { return caption_; }
    void set_caption(std::string text) { update(caption_, std::move(text)); }

private:
    std::string caption_;
};

// A text box. Line breaks are held as CR LF, as typed. The caret and the
// anchor are byte offsets; the text between them is selected. Replacing the
// text puts both at the start.
class TextBox : public Control {
public:
    using Control::Control;
    const std::string& text() const { return source_ ? *source_ : text_; }
    std::size_t caret() const { return caret_; }
    std::size_t anchor() const { return anchor_; }
    std::size_t selection_start() const { return std::min(caret_, anchor_); }
    std::size_t selection_length() const { return std::max(caret_, anchor_) - selection_start(); }
    bool locked() const { return locked_; }
    bool multi_line = true;
    bool read_only = false;

    void set_text(std::string text) {
        hold(std::move(text));
        caret_ = anchor_ = 0;
        ++revision_;
        changed();
    }
    void append(std::string_view more) {
        if (source_) keep_text(*source_);
        text_.append(more);
        ++revision_;
        if (view()) view()->text_appended(*this, more);
    }
    // Shows a string held elsewhere, without a copy of it, until the text
    // is set or kept; its owner says when it grows and lets the box keep
    // what it shows before changing it otherwise.
    void show_text_of(const std::string& source) {
        hold(std::string());
        source_ = &source;
        caret_ = anchor_ = 0;
        ++revision_;
        changed();
    }
    bool shows_text_of(const std::string& source) const { return source_ == &source; }
    // The shown string grew by its last `more` bytes.
    void shown_text_grew(std::size_t more) {
        ++revision_;
        if (view()) view()->text_appended(*this, std::string_view(*source_).substr(source_->size() - more));
    }
    // The same text, now the box's own, or shared with others who keep it.
    void keep_text(std::string text) { hold(std::move(text)); }
    void keep_text(SharedText text) {
        hold(std::string());
        source_ = text.get();
        shared_ = std::move(text);
    }
    // What the user typed; the view reports it so the model stays the truth.
    void user_edit(std::string text, std::size_t caret) {
        hold(std::move(text));
        caret_ = anchor_ = std::min(caret, text_.size());
        ++revision_;
    }
    // Where the user put the caret, and the other end of what they selected.
    void user_select(std::size_t caret, std::size_t anchor) {
        caret_ = std::min(caret, text().size());
        anchor_ = std::min(anchor, text().size());
    }
    // Puts what in place of the selection, or at the caret when nothing is
    // selected, as a typed key does.
    void insert_at_caret(std::string_view what) {
        if (source_) keep_text(*source_);
        std::size_t start = selection_start();
        text_.replace(start, selection_length(), what);
        caret_ = anchor_ = start + what.size();
        ++revision_;
        changed();
    }
    void set_locked(bool on) { update(locked_, on); }
    // Changes with every change of text, so a writer can tell whether the
    // text is still what it last put there.
    unsigned long revision() const { return revision_; }

private:
    void hold(std::string text) {
        source_ = nullptr;
        shared_.reset();
        text_ = std::move(text);
    }

    std::string text_;
    // The text shown instead of text_, and its owner when the box shares it.
    const std::string* source_ = nullptr;
    SharedText shared_;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    bool locked_ = false;
    unsigned long revision_ = 0;
};

// An item of a pop-up menu; an item with children opens a submenu.
class MenuItem : public Control {
public:
    MenuItem(std::string name, std::string caption) : Control(std::move(name)), caption_(std::move(caption)) {}
    const std::string& caption() const { return caption_; }
    bool checked() const { return checked_; }
    bool separator() const { return caption_ == "-"; }
    void set_checked(bool on) { update(checked_, on); }
    void choose() {
        if (enabled() && on_click) on_click();
    }
    std::vector<MenuItem*> children;
    std::function<void()> on_click;

private:
    std::string caption_;
    bool checked_ = false;
};

class ProgressBar : public Control {
public:
    using Control::Control;
    double min() const { return min_; }
    double max() const { return max_; }
    double value() const { return value_; }
    void set_min(double v) { update(min_, v); }
    void set_max(double v) { update(max_, v); }
    void set_value(double v) { update(value_, v); }

private:
    double min_ = 0;
    double max_ = 100;
    double value_ = 0;
};

// The address-book grid. The view reads rows from the store; the model only
// says when they must be read again and which row the user chose.
class Grid : public Control {
public:
    using Control::Control;
    void reload() {
        ++generation_;
        changed();
    }
    unsigned long generation() const { return generation_; }
    void select_row(std::size_t row) {
        if (on_row_change) on_row_change(row);
    }
    std::function<void(std::size_t)> on_row_change;

private:
    unsigned long generation_ = 0;
};

// A picture box showing a file; empty path shows nothing.
class Picture : public Control {
public:
    using Control::Control;
    const std::string& path() const { return path_; }
    void set_path(std::string p) { update(path_, std::move(p)); }

private:
    std::string path_;
};

// An animation control playing a file; empty path plays nothing.
class Animation : public Control {
public:
    using Control::Control;
    const std::string& path() const { return path_; }
    bool playing() const { return playing_; }
    void play(std::string p) {
        path_ = std::move(p);
        playing_ = true;
        changed();
    }
    void stop() { update(playing_, false); }

private:
    std::string path_;
    bool playing_ = false;
};

// A window: its caption and its controls, in the order the view lays them out.
class Form : public Control {
public:
    Form(std::string name, std::string caption) : Control(std::move(name)), caption_(std::move(caption)) {
        set_visible(false);
    }
    const std::string& caption() const { return caption_; }
    const std::vector<Control*>& controls() const { return controls_; }
    // Shows the window and asks for it in front of the others with the
    // focus, also when it is up already (perhaps hidden behind another).
    void bring_to_front() {
        ++front_requests_;
        if (visible()) changed();
        else set_visible(true);
    }
    unsigned long front_requests() const { return front_requests_; }
    void attach_all(FormView* view) {
        attach(view);
        for (Control* c : controls_) c->attach(view);
    }
    // The user closes the window.
    void close() {
        if (on_close) on_close();
    }
    std::function<void()> on_close;

protected:
    template <typename T> T& add(T& control) {
        controls_.push_back(&control);
        return control;
    }

private:
    std::string caption_;
    std::vector<Control*> controls_;
    unsigned long front_requests_ = 0;
};

} // namespace quillon
