// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillon {

class Conversation;
class ConversationForm;

// Frmconversation's handlers: the window follows the conversation while
// it is shown.
class ConversationWindow {
public:
    ConversationWindow(ConversationForm& form, const Conversation& conversation)
        : form_(form), conversation_(conversation) {}

    void mnuconversation_Click();
    void Form_Unload();
    // Shows the conversation again, when the window is up.
    void conversation_changed();

private:
    ConversationForm& form_;
    const Conversation& conversation_;
};

} // namespace quillon
