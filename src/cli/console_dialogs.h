// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/dialogs.h"
#include "base/media.h"

#include <functional>
#include <string>

namespace quillon {

// The boxes of a run without a window: each is one line on stderr, and
// takes the default the manual page gives. Received files are saved in
// one folder under the name the peer sent, never over a file already there.
class ConsoleDialogs : public Dialogs {
public:
    // who starts every line.
    explicit ConsoleDialogs(std::string receive_into, std::string who = "quillon")
        : receive_into_(std::move(receive_into)), who_(std::move(who)) {}

    void message(const std::string& text, Icon icon) override;
    // No: a receiver stays in the call, so that more files can follow; the
    // reconversion runs all the same.
    bool ask_yes_no(const std::string& text) override;
    // Only the port prompt asks for text; without a person it is an error.
    std::string input_box(const std::string& prompt, const std::string& caption,
                          const std::string& default_text) override;
    std::optional<std::string> open_file(const std::string& filter, const std::string& file_name) override;
    std::optional<std::string> save_file(const std::string& filter, const std::string& file_name) override;

    // Each line is also written here (the session log), without who.
    std::function<void(const std::string&)> also_to;

private:
    void say(const std::string& text);
    std::string receive_into_;
    std::string who_;
};

// A name in folder that is free: "name.ext", else "name (1).ext", ...
std::string free_name_in(const std::string& folder, const std::string& name);

// No pictures, no animations, no file manager.
class NoMedia : public Media {
public:
    bool can_show_picture(const std::string&) override { return false; }
    bool can_play_animation(const std::string&) override { return false; }
    bool open_folder(const std::string&) override { return false; }
};

} // namespace quillon
