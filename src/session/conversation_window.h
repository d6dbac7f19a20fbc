// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/form_timer.h"

namespace quillon {

class Conversation;
class ConversationForm;

// Frmconversation's handlers: the window follows the conversation while
// it is shown, at most once a second, since each time it shows the whole.
class ConversationWindow {
public:
    ConversationWindow(EventLoop& loop, ConversationForm& form, const Conversation& conversation);

    void mnuconversation_Click();
    void Form_Unload();
    // Shows the conversation again, when the window is up.
    void conversation_changed();

private:
    void show_conversation();

    ConversationForm& form_;
    const Conversation& conversation_;
    // On for a second after each showing; what changed meanwhile is shown
    // when it ticks.
    FormTimer resting_;
    bool changed_while_resting_ = false;
};

} // namespace quillon
