// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "modem/queued_output.h"

#include <string>

namespace quillon {

// Connects to host:port (a name or a numeric address) within timeout
// seconds; returns a non-blocking socket with TCP_NODELAY set. Throws
// std::runtime_error with the reason.
int connect_tcp(const std::string& host, int port, double timeout_seconds);

// Bytes for a non-blocking socket that it has not taken yet, in order.
class SocketOutput : public FdOutput {
public:
    explicit SocketOutput(int fd);
};

} // namespace quillon
