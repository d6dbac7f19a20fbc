// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/conversation_window.h"

#include "session/conversation.h"

namespace quillon {

void ConversationWindow::mnuconversation_Click() {
    form_.bring_to_front();
    conversation_changed();
}

void ConversationWindow::Form_Unload() { form_.set_visible(false); }

void ConversationWindow::conversation_changed() {
    if (form_.visible()) form_.txtconversation.set_text(conversation_.text());
}

} // namespace quillon
