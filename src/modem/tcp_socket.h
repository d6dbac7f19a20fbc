#pragma once

#include <string>
#include <string_view>

namespace quillon {

// Connects to host:port (a name or a numeric address) within timeout
// seconds; returns a non-blocking socket with TCP_NODELAY set. Throws
// std::runtime_error with the reason.
int connect_tcp(const std::string& host, int port, double timeout_seconds);

// Bytes for a non-blocking socket that it has not taken yet, in order.
class SocketOutput {
public:
    explicit SocketOutput(int fd) : fd_(fd) {}
    // Queues bytes and sends what the socket takes; false when the socket failed.
    bool write(std::string_view bytes);
    bool flush();
    bool pending() const { return !buffer_.empty(); }

private:
    int fd_;
    std::string buffer_;
};

} // namespace quillon
