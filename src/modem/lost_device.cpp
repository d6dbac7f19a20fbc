// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/lost_device.h"

#include "app/program.h"

namespace quillon {

void LostDevice::device_lost(const std::string& device) {
    if (p_.state.connected == 1) p_.supervision.end_call(CallEnd::port_lost);
    // A closed port reads as no modem: the telephone controls go grey.
    p_.supervision.check_modem_ready();
    for (int n = 1; n <= 4; ++n) p_.frmmain.port_item(n).set_checked(false);
    std::string text = device + " has gone (unplugged or hung up); the call is over. Once it is back, pick its port "
                                "again from the menu.";
    p_.frmmain.txtreceived.set_text(text);
    // Told after the event, so nothing waits on the box.
    p_.loop.post([this, text] { p_.message(text, Icon::stop); });
}

} // namespace quillon
