// SPDX-License-Identifier: GPL-3.0-or-later
#include "chat/chat.h"

#include "base/call_events.h"
#include "base/main_form.h"
#include "base/shared_state.h"
#include "modem/serial_control.h"
#include "transfer/file_transfer.h"

namespace quillon {

void Chat::cmdsend_Click() {
    SharedState& s = state_;
    if (s.current_mode == OperatingMode::chat) {
        comm_.set_input_mode(0);
        comm_.output(form_.txtsend.text());
        events_.chat_sent(form_.txtsend.text());
        form_.txtsend.set_text("");
    }
    if (s.current_mode == OperatingMode::file_transfer) {
        s.send_block = 1;
        std::string path = s.send_filename;
        transfer_.send_file(path);
        form_.cmdsend.set_enabled(false);
    }
}

void Chat::txtsend_KeyPress(int key_ascii) {
    if (key_ascii != 13) return;
    if (form_.lblchat.caption() != "Your chat message goes here") answer_prompt();
    form_.txtsend.insert_at_caret("\r\n");
}

} // namespace quillon
