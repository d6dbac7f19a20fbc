// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace quillon {

class CallEventHub;
class FileTransfer;
class MainForm;
class SerialControl;
struct SharedState;

// The input line and the Send button.
class Chat {
public:
    Chat(MainForm& form, SharedState& state, SerialControl& comm, CallEventHub& events, FileTransfer& transfer)
        : form_(form), state_(state), comm_(comm), events_(events), transfer_(transfer) {}

    void cmdsend_Click();
    // Enter answers the prompt lblchat shows, if any, then puts CR LF at
    // the caret.
    void txtsend_KeyPress(int key_ascii);

    // The address book's answer to its prompt in the input line.
    std::function<void()> answer_prompt;

private:
    MainForm& form_;
    SharedState& state_;
    SerialControl& comm_;
    CallEventHub& events_;
    FileTransfer& transfer_;
};

} // namespace quillon
