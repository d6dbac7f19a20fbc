// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/event_loop.h"

namespace quillon {

class Conversation;
class ConversationForm;

// Frmconversation's handlers: the window follows the conversation while
// it is shown, at most once a second, since each time it shows the whole.
class ConversationWindow {
public:
    ConversationWindow(EventLoop& loop, ConversationForm& form, const Conversation& conversation)
        : loop_(loop), form_(form), conversation_(conversation) {}
    ~ConversationWindow();

    void mnuconversation_Click();
    void Form_Unload();
    // Shows the conversation again, when the window is up.
    void conversation_changed();

private:
    void show_conversation();

    EventLoop& loop_;
    ConversationForm& form_;
    const Conversation& conversation_;
    double shown_at_ = 0;
    bool refresh_due_ = false;
    EventLoop::Handle refresh_timer_{};
};

} // namespace quillon
