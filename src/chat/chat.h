// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillon {

class Program;

// The input line and the Send button.
class Chat {
public:
    explicit Chat(Program& program) : p_(program) {}

    void cmdsend_Click();
    // Runs before the key's own effect; Enter then inserts CR LF at the caret.
    void txtsend_KeyPress(int key_ascii);

private:
    Program& p_;
};

} // namespace quillon
