// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/dial_backspace.h"

#include "app/program.h"

namespace quillon {

void remove_last_dial_digit(Program& p) {
    std::string& number = p.state.dial_number;
    if (number.empty()) return;
    number.pop_back();
    p.frmmain.txtreceived.set_text(number);
    p.dialler.follow_dial_number();
}

} // namespace quillon
