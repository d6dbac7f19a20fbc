// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/port_advice.h"

namespace quillon {

std::string port_failure_text(const LineError& failure, const std::string& settings_file) {
    std::string text = std::string(failure.what()) + " !";
    const std::string question = "\n\nOpen the help?";
    if (dynamic_cast<const DeviceUnavailable*>(&failure)) return text + question;
    return text + "\n\nNext, Quillon asks for the port the modem is on (1 to 4; the [Ports] section of " + settings_file +
           " says which device each one is).\n\nNo modem yet? Quillon can be tried with the modem simulator that "
           "comes with it. In a terminal, run\n    quillon-linesim --modem 5551001@7001 --test-line 5550000\n"
           "then put COMM1=rfc2217://127.0.0.1:7001 under [Ports] in the settings, and start Quillon again: it is then "
           "on the pretend telephone number 5551001 and can call the test line 5550000, which answers by itself, sends "
           "your chat back and tells the size and SHA-256 checksum of every file you send it. \"man quillon-linesim\" "
           "tells more, and how to add a second modem for a second copy of Quillon." +
           question;
}

} // namespace quillon
