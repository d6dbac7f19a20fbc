// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/device_opener.h"

#include "modem/rfc2217_line.h"
#include "modem/termios_line.h"

namespace quillon {

LineOpener make_device_opener(EventLoop& loop) {
    return [&loop](const std::string& device) -> std::unique_ptr<Line> {
        if (device.rfind("rfc2217://", 0) == 0) return std::make_unique<Rfc2217Line>(loop, device);
        return std::make_unique<TermiosLine>(loop, device);
    };
}

} // namespace quillon
