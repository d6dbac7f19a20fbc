// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillon {

class Program;

// The main window's own work: start-up and shut-down, the timers and the
// shared procedures every other part calls.
class MainWindow {
public:
    explicit MainWindow(Program& program) : p_(program) {}

    void Form_Load();
    void Form_Unload();
    void Timer1_Timer();
    void Timer2_Timer() {}

    void init_portsetting(int i);
    void checkmark_port(int i);

    // Shows a configuration error and ends the program. A close that
    // arrives while the box is up ends it the same way, writing nothing.
    [[noreturn]] void configuration_error(const std::string& text);

private:
    void port_prompt();
    void read_help_first();
    void apply_dial_mode();
    void settings_not_saved();

    Program& p_;
    bool configuration_failed_ = false;
    std::string told_port_failure_;
};

} // namespace quillon
