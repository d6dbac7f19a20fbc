// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/conversation_window.h"

#include "session/conversation.h"

#include <cmath>

namespace quillon {

ConversationWindow::~ConversationWindow() {
    if (refresh_due_) loop_.stop_timer(refresh_timer_);
}

void ConversationWindow::mnuconversation_Click() {
    form_.bring_to_front();
    show_conversation();
}

void ConversationWindow::Form_Unload() { form_.set_visible(false); }

void ConversationWindow::conversation_changed() {
    if (!form_.visible() || refresh_due_) return;
    const double wait = shown_at_ + 1 - loop_.monotonic();
    if (wait <= 0) return show_conversation();
    refresh_due_ = true;
    refresh_timer_ = loop_.start_timer(static_cast<int>(std::ceil(wait * 1000)), [this] { show_conversation(); });
}

void ConversationWindow::show_conversation() {
    if (refresh_due_) loop_.stop_timer(refresh_timer_);
    refresh_due_ = false;
    shown_at_ = loop_.monotonic();
    if (form_.visible()) form_.txtconversation.set_text(conversation_.text());
}

} // namespace quillon
