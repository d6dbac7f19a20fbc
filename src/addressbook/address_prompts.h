#pragma once

#include <cstddef>

namespace quillon {

class Program;

// The Address Book menu, its prompt dialogue in the input line, and the grid.
class AddressPrompts {
public:
    explicit AddressPrompts(Program& program) : p_(program) {}

    void mnuaddessadd_Click();
    void mnuaddressedit_Click();
    void mnuaddressremove_Click();
    void mnuaddressfind_Click();
    void mnuaddressall_Click();
    // The Enter key in txtsend while lblchat shows a prompt.
    void answer_prompt();
    void DBGrid1_RowColChange(std::size_t row);

private:
    Program& p_;
};

} // namespace quillon
