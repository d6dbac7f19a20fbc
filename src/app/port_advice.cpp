// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/port_advice.h"

namespace quillon {

std::string port_failure_text(const LineError& failure, const std::string& settings_file) {
    std::string text = std::string(failure.what()) + " !";
    const std::string question = "\n\nOpen the help?";
    if (dynamic_cast<const DeviceUnavailable*>(&failure)) return text + question;
    return text + "\n\nNext, Quillon asks for the port the modem is on (1 to 4; the [Ports] section of " + settings_file +
           " says which device each one is).\n\nNo modem yet? Quillon can be tried with the modem simulator that "
           "comes with it. In a terminal, run\n    quillon-linesim --modem 5551001@7001 --modem 5551002@7002\n"
           "then put COMM1=rfc2217://127.0.0.1:7001 under [Ports] in the settings, and start Quillon again: it is then "
           "on the pretend telephone number 5551001 and can call a second copy on 5551002. \"man quillon-linesim\" "
           "tells more." +
           question;
}

} // namespace quillon
