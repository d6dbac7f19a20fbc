// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/event_loop.h"
#include "modem/line.h"

namespace quillon {

// Opens the device a port maps to: a tty path.
LineOpener make_device_opener(EventLoop& loop);

} // namespace quillon
