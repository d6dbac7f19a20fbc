// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::sim {

// One command of an AT command line: "E1", "&D2", "S7=30", "S0?", "DT555".
struct ModemCommand {
    char prefix = '\0'; // '&' for the extended set
    char letter = '\0'; // upper case
    int value = -1;     // -1 when no number follows
    int reg = -1;       // the register of "Sn=v" and "Sn?"
    bool query = false; // "Sn?"
    std::string dial;   // what follows D, unchanged

    bool operator==(const ModemCommand&) const = default;
};

// The commands of a line after its "AT", left to right; nothing when a
// command cannot be read (the modem answers ERROR and runs none of them).
std::optional<std::vector<ModemCommand>> parse_command_line(std::string_view after_at);

// The number a dial string calls: its digits, with T, P, spaces, "-()"
// and pauses dropped.
std::string dialled_digits(std::string_view dial);

} // namespace quillon::sim
