// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "session/notifier.h"

#include <string>
#include <vector>

namespace quillon::testing {

// Records every notice; the window is in front only when told so.
struct FakeNotifier : Notifier {
    bool window_active() override { return active; }
    void notify(const std::string& summary, const std::string& body, bool replace_last) override {
        shown.push_back(summary + " | " + body + (replace_last ? " (replacing)" : ""));
    }
    bool active = false;
    std::vector<std::string> shown;
};

} // namespace quillon::testing
