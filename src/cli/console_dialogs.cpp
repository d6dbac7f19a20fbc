// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/console_dialogs.h"

#include "app/command_line.h"
#include "base/program_end.h"

#include <cstdio>
#include <filesystem>

namespace quillon {

namespace fs = std::filesystem;

void ConsoleDialogs::say(const std::string& text) {
    std::string line = text;
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    std::fprintf(stderr, "%s: %s\n", who_.c_str(), line.c_str());
    if (also_to) also_to(line);
}

void ConsoleDialogs::message(const std::string& text, Icon) { say(text); }

bool ConsoleDialogs::ask_yes_no(const std::string& text) {
    say(text + " (answered No)");
    return false;
}

std::string ConsoleDialogs::input_box(const std::string& prompt, const std::string&, const std::string&) {
    say(prompt + " (no one to answer: give --port N)");
    end_program(exit_status::port_failed);
}

std::optional<std::string> ConsoleDialogs::open_file(const std::string&, const std::string&) { return std::nullopt; }

std::optional<std::string> ConsoleDialogs::save_file(const std::string&, const std::string& file_name) {
    // The suggestion is already a safe name; only its last part is kept.
    std::string name = fs::path(file_name).filename().string();
    if (name.empty() || name == "." || name == "..") name = "received";
    std::string path = free_name_in(receive_into_.empty() ? fs::path(file_name).parent_path().string() : receive_into_,
                                    name);
    say("saving into " + path);
    return path;
}

std::string free_name_in(const std::string& folder, const std::string& name) {
    fs::path base(name);
    std::string stem = base.stem().string(), ext = base.extension().string();
    fs::path candidate = fs::path(folder) / name;
    std::error_code ec;
    for (int n = 1; fs::exists(fs::symlink_status(candidate, ec)); ++n)
        candidate = fs::path(folder) / (stem + " (" + std::to_string(n) + ")" + ext);
    return candidate.string();
}

} // namespace quillon
