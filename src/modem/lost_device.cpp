// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/lost_device.h"

#include "base/dialogs.h"
#include "base/event_loop.h"
#include "base/main_form.h"
#include "base/shared_state.h"
#include "modem/line_supervision.h"

namespace quillon {

void LostDevice::device_lost(const std::string& device) {
    if (state_.connected == 1) supervision_.end_call(CallEnd::port_lost);
    // A closed port reads as no modem: the telephone controls go grey.
    supervision_.check_modem_ready();
    for (int n = 1; n <= 4; ++n) form_.port_item(n).set_checked(false);
    std::string text = device + " has gone (unplugged or hung up); the call is over. Once it is back, pick its port "
                                "again from the menu.";
    form_.txtreceived.set_text(text);
    // Told after the event, so nothing waits on the box.
    loop_.post([this, text] { dialogs_.message(text, Icon::stop); });
}

} // namespace quillon
