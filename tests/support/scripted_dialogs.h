// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/dialogs.h"
#include "base/media.h"
#include "sim/virtual_event_loop.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillon::testing {

// Dialogs that answer from queues and record every box shown, in order.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { message, question, input, open_file, save_file };
    struct Shown {
        Kind kind;
        std::string text; // message or prompt; the pre-filled name for file dialogs
        Icon icon = Icon::none;
        std::string filter;
    };

    void message(const std::string& text, Icon icon) override;
    bool ask_yes_no(const std::string& text) override;
    std::string input_box(const std::string& prompt, const std::string& caption,
                          const std::string& default_text) override;
    std::optional<std::string> open_file(const std::string& filter, const std::string& file_name) override;
    std::optional<std::string> save_file(const std::string& filter, const std::string& file_name) override;
    // Takes an open_answers entry, its names one a line.
    std::vector<std::string> open_files(const std::string& filter) override;

    // Answers, taken in order. An empty queue answers "", No and Cancel.
    std::deque<std::string> input_answers;
    std::deque<bool> yes_no_answers;
    std::deque<std::optional<std::string>> open_answers;
    std::deque<std::optional<std::string>> save_answers;
    // Runs while a box is up, as the timers and the line go on under a
    // modal box.
    std::function<void()> while_shown;
    // Runs as a box comes up, before it waits: the moment to make something
    // happen under that particular box.
    std::function<void(const Shown&)> on_show;
    // Every box then stays up this long in virtual time, the loop running
    // meanwhile, as a person takes seconds over a box.
    void stay_open(VirtualTime& time, double seconds) {
        time_ = &time;
        open_seconds_ = seconds;
    }

    std::vector<Shown> shown;
    std::vector<std::string> messages() const;
    bool showed(const std::string& text) const;
    // The first message that starts with head; empty when none did.
    std::string message_starting(const std::string& head) const;

private:
    void record(Shown box);

    VirtualTime* time_ = nullptr;
    double open_seconds_ = 0;
};

// Media that can show any existing file with the expected signature.
class FakeMedia : public Media {
public:
    bool can_show_picture(const std::string& path) override;
    bool can_play_animation(const std::string& path) override;
    bool open_folder(const std::string& path) override {
        opened_folders.push_back(path);
        return has_opener;
    }
    std::vector<std::string> opened_folders;
    bool has_opener = true;
};

} // namespace quillon::testing
