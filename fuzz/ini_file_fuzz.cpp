// SPDX-License-Identifier: GPL-3.0-or-later
// Any quillon.ini parses, and a written value always reads back. The text
// stays in memory: reading and replacing the file itself is the same few
// lines for every input, and the unit tests cover it.
#include "base/ini_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    auto port = quillon::profile_string_in(text, "Quillon", "PORTNO.", "DEFAULT", 10);
    if (port.value.size() > 9 || port.length > 9) std::abort();
    quillon::profile_section_in(text, "Ports");

    // A value without blanks at its ends or line breaks is kept exactly.
    std::string value = "v" + std::to_string(size) + "x";
    auto written = quillon::with_profile_string(text, "Quillon", "DIALMODE", value);
    if (!written) std::abort();
    if (quillon::profile_string_in(*written, "Quillon", "DIALMODE", "DEFAULT", 255).value != value) std::abort();
    if (quillon::profile_string_in(*written, "Quillon", "PORTNO.", "DEFAULT", 10).value != port.value) std::abort();
    return 0;
}
