// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillon {

// Desktop notifications: a few words shown outside the main window.
class Notifier {
public:
    virtual ~Notifier() = default;

    // True while the user has the main window in front; nothing need be
    // said then.
    virtual bool window_active() = 0;
    // Shows a notice; replace_last puts it in place of the previous one
    // (a caller's number that arrives after the ring). Never blocks and
    // never fails where no notification service answers.
    virtual void notify(const std::string& summary, const std::string& body, bool replace_last) = 0;
};

} // namespace quillon
