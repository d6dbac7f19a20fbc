// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/conversation_window.h"

#include "session/conversation.h"

namespace quillon {

ConversationWindow::ConversationWindow(EventLoop& loop, ConversationForm& form, const Conversation& conversation)
    : form_(form), conversation_(conversation), resting_(loop, 1000) {
    resting_.on_tick = [this] {
        if (changed_while_resting_) show_conversation();
        else resting_.set_enabled(false);
    };
}

void ConversationWindow::mnuconversation_Click() {
    form_.bring_to_front();
    show_conversation();
}

void ConversationWindow::Form_Unload() { form_.set_visible(false); }

void ConversationWindow::conversation_changed() {
    if (!form_.visible()) return;
    if (resting_.enabled()) changed_while_resting_ = true;
    else show_conversation();
}

void ConversationWindow::show_conversation() {
    changed_while_resting_ = false;
    resting_.set_enabled(true);
    if (form_.visible()) form_.txtconversation.set_text(conversation_.text());
}

} // namespace quillon
