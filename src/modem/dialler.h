#pragma once

namespace quillon {

class Program;

// Keypad, dial, redial, tone and cancel buttons.
class Dialler {
public:
    explicit Dialler(Program& program) : p_(program) {}

    void Cmddialn_Click(int index);
    void Cmddialtone_Click();
    void cmddial_Click();
    void cmdre_Click();
    void cmdcan_Click();

    // Hides the address-book grid and gives cmdre back its redial role.
    void leave_grid_view();

private:
    Program& p_;
};

} // namespace quillon
