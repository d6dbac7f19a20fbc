// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/form.h"

#include <algorithm>
#include <string>
#include <vector>

namespace quillon::testing {

// Every text a text box showed, in order, including the ones replaced
// inside a single event.
class TextHistory : public FormView {
public:
    explicit TextHistory(TextBox& box) : box_(box) { box.attach(this); }
    ~TextHistory() override { box_.attach(nullptr); }
    void control_changed(Control&) override { texts.push_back(box_.text()); }
    void text_appended(Control&, std::string_view) override { texts.push_back(box_.text()); }
    bool showed(const std::string& text) const { return std::find(texts.begin(), texts.end(), text) != texts.end(); }
    std::vector<std::string> texts;

private:
    TextBox& box_;
};

} // namespace quillon::testing
