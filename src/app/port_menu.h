// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillon {

class Program;

// The "Port Selection" and "Dialling Properties" submenus.
class PortMenu {
public:
    explicit PortMenu(Program& program) : p_(program) {}

    void mnuport_Click(int n);
    void mnudialpulse_Click();
    void mnudialtone_Click();

private:
    void tick_port(int n);
    Program& p_;
};

} // namespace quillon
