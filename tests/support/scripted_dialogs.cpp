// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/scripted_dialogs.h"

#include <algorithm>
#include <fstream>

namespace quillon::testing {
namespace {

template <typename T> T take(std::deque<T>& queue, T empty) {
    if (queue.empty()) return empty;
    T front = queue.front();
    queue.pop_front();
    return front;
}

bool starts_with_bytes(const std::string& path, const std::string& magic) {
    std::ifstream in(path, std::ios::binary);
    std::string head(magic.size(), '\0');
    return in.read(head.data(), static_cast<std::streamsize>(head.size())) && head == magic;
}

} // namespace

void ScriptedDialogs::record(Shown box) {
    shown.push_back(box);
    if (on_show) on_show(box);
    if (while_shown) while_shown();
    if (time_) time_->run_for(open_seconds_);
}

void ScriptedDialogs::message(const std::string& text, Icon icon) { record({Kind::message, text, icon, {}}); }

bool ScriptedDialogs::ask_yes_no(const std::string& text) {
    record({Kind::question, text, Icon::question, {}});
    return take(yes_no_answers, false);
}

std::string ScriptedDialogs::input_box(const std::string& prompt, const std::string&, const std::string&) {
    record({Kind::input, prompt, Icon::none, {}});
    return take(input_answers, std::string{});
}

std::optional<std::string> ScriptedDialogs::open_file(const std::string& filter, const std::string& file_name) {
    record({Kind::open_file, file_name, Icon::none, filter});
    return take(open_answers, std::optional<std::string>{});
}

std::vector<std::string> ScriptedDialogs::open_files(const std::string& filter) {
    std::vector<std::string> names;
    if (auto answer = open_file(filter, "")) {
        std::size_t start = 0;
        for (std::size_t end; (end = answer->find('\n', start)) != std::string::npos; start = end + 1)
            names.push_back(answer->substr(start, end - start));
        names.push_back(answer->substr(start));
    }
    return names;
}

std::optional<std::string> ScriptedDialogs::save_file(const std::string& filter, const std::string& file_name) {
    record({Kind::save_file, file_name, Icon::none, filter});
    return take(save_answers, std::optional<std::string>{});
}

std::vector<std::string> ScriptedDialogs::messages() const {
    std::vector<std::string> out;
    for (const Shown& box : shown)
        if (box.kind == Kind::message) out.push_back(box.text);
    return out;
}

bool ScriptedDialogs::showed(const std::string& text) const {
    return std::any_of(shown.begin(), shown.end(), [&](const Shown& box) { return box.text == text; });
}

std::string ScriptedDialogs::message_starting(const std::string& head) const {
    for (const std::string& text : messages())
        if (text.starts_with(head)) return text;
    return {};
}

bool FakeMedia::can_show_picture(const std::string& path) { return starts_with_bytes(path, "\xFF\xD8"); }

bool FakeMedia::can_play_animation(const std::string& path) { return starts_with_bytes(path, "RIFF"); }

} // namespace quillon::testing
