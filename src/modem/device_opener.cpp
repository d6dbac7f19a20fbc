#include "modem/device_opener.h"

#include "modem/termios_line.h"

namespace quillon {

LineOpener make_device_opener(EventLoop& loop) {
    return [&loop](const std::string& device) -> std::unique_ptr<Line> {
        if (device.rfind("rfc2217://", 0) == 0) throw LineError("Network ports are not supported yet: " + device);
        return std::make_unique<TermiosLine>(loop, device);
    };
}

} // namespace quillon
