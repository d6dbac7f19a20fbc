// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillon {

class Program;

// Frmhelp: the help text and picture, read each time the window loads.
class HelpWindow {
public:
    explicit HelpWindow(Program& program) : p_(program) {}

    void mnuhelp_Click();
    void Form_Load();
    void Form_Unload();

private:
    Program& p_;
    bool loaded_ = false;
};

} // namespace quillon
