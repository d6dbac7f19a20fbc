// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillon::sim {

// A listening socket on 127.0.0.1 only; port 0 picks a free one. Throws
// std::runtime_error with the reason.
int listen_on_loopback(int port);
int bound_port(int fd);
// The next waiting connection, non-blocking with TCP_NODELAY; -1 when none.
int accept_connection(int listen_fd);

} // namespace quillon::sim
