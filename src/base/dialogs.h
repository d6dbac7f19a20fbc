// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillon {

enum class Icon { none, stop, information, question };

// Modal boxes and file dialogs. Every box carries the caption "Quillon";
// each call returns only when the user has closed the box.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message with an OK button.
    virtual void message(const std::string& text, Icon icon) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool ask_yes_no(const std::string& text) = 0;
    // An input box; Cancel gives an empty text.
    virtual std::string input_box(const std::string& prompt, const std::string& caption,
                                  const std::string& default_text) = 0;
    // File dialogs. filter is "description|pattern|description|pattern...";
    // file_name pre-fills the name. nullopt when the user cancels.
    virtual std::optional<std::string> open_file(const std::string& filter,
                                                 const std::string& file_name) = 0;
    virtual std::optional<std::string> save_file(const std::string& filter,
                                                 const std::string& file_name) = 0;
    // An open-file dialog where several files may be chosen; none when
    // the user cancels.
    virtual std::vector<std::string> open_files(const std::string& filter) {
        if (auto name = open_file(filter, "")) return {*name};
        return {};
    }
};

} // namespace quillon
