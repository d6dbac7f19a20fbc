// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillon {

class Program;

// The "Operating Mode" menu: chat or file transfer, the form and the file
// to send. Nothing here writes to the line.
class ModeMenu {
public:
    explicit ModeMenu(Program& program) : p_(program) {}

    void mnumodechat_Click();
    void mnumodefile_Click();
    void filemodebinary_Click();
    void filemodetext_Click();

private:
    void choose_form(const std::string& form);
    void choose_file_to_send();

    Program& p_;
};

} // namespace quillon
