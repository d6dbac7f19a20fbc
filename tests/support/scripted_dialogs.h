// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/dialogs.h"
#include "base/media.h"
#include "sim/virtual_event_loop.h"

#include <algorithm>
#include <deque>
#include <fstream>
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

    void message(const std::string& text, Icon icon) override { record({Kind::message, text, icon, {}}); }
    bool ask_yes_no(const std::string& text) override {
        record({Kind::question, text, Icon::question, {}});
        return take(yes_no_answers, false);
    }
    std::string input_box(const std::string& prompt, const std::string&, const std::string&) override {
        record({Kind::input, prompt, Icon::none, {}});
        return take(input_answers, std::string{});
    }
    std::optional<std::string> open_file(const std::string& filter, const std::string& file_name) override {
        record({Kind::open_file, file_name, Icon::none, filter});
        return take(open_answers, std::optional<std::string>{});
    }
    std::optional<std::string> save_file(const std::string& filter, const std::string& file_name) override {
        record({Kind::save_file, file_name, Icon::none, filter});
        return take(save_answers, std::optional<std::string>{});
    }
    // Takes an open_answers entry, its names one a line.
    std::vector<std::string> open_files(const std::string& filter) override {
        std::vector<std::string> names;
        if (auto answer = open_file(filter, "")) {
            std::size_t start = 0;
            for (std::size_t end; (end = answer->find('\n', start)) != std::string::npos; start = end + 1)
                names.push_back(answer->substr(start, end - start));
            names.push_back(answer->substr(start));
        }
        return names;
    }

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
    std::vector<std::string> messages() const {
        std::vector<std::string> out;
        for (const Shown& box : shown)
            if (box.kind == Kind::message) out.push_back(box.text);
        return out;
    }
    bool showed(const std::string& text) const {
        return std::any_of(shown.begin(), shown.end(), [&](const Shown& box) { return box.text == text; });
    }
    // The first message that starts with head; empty when none did.
    std::string message_starting(const std::string& head) const {
        for (const std::string& text : messages())
            if (text.starts_with(head)) return text;
        return {};
    }

private:
    void record(Shown box) {
        shown.push_back(box);
        if (on_show) on_show(box);
        if (while_shown) while_shown();
        if (time_) time_->run_for(open_seconds_);
    }
    template <typename T> static T take(std::deque<T>& queue, T empty) {
        if (queue.empty()) return empty;
        T front = queue.front();
        queue.pop_front();
        return front;
    }

    VirtualTime* time_ = nullptr;
    double open_seconds_ = 0;
};

// Media that can show any existing file with the expected signature.
class FakeMedia : public Media {
public:
    bool can_show_picture(const std::string& path) override { return starts_with_bytes(path, "\xFF\xD8"); }
    bool can_play_animation(const std::string& path) override { return starts_with_bytes(path, "RIFF"); }
    bool open_folder(const std::string& path) override {
        opened_folders.push_back(path);
        return has_opener;
    }
    std::vector<std::string> opened_folders;
    bool has_opener = true;

private:
    static bool starts_with_bytes(const std::string& path, const std::string& magic) {
        std::ifstream in(path, std::ios::binary);
        std::string head(magic.size(), '\0');
        return in.read(head.data(), static_cast<std::streamsize>(head.size())) && head == magic;
    }
};

} // namespace quillon::testing
