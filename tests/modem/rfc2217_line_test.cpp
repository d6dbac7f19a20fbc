// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/poll_event_loop.h"
#include "modem/rfc2217_line.h"
#include "sim/rfc2217_server_session.h"
#include "sim/tcp_listener.h"
#include "support/line_recorder.h"
#include "support/telnet_events.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace quillon {
namespace {

using namespace telnet;

// An RFC 2217 port on 127.0.0.1 served from the test's own loop, which the
// line's open turns too; while nobody turns it, nothing is read. A silent
// port answers nothing; a second client is hung up on. What the server got
// is kept in order: data for the modem and DTR changes in one log, and the
// client's raw bytes.
class LoopbackPort {
public:
    explicit LoopbackPort(PollEventLoop& loop, bool silent = false) : loop_(loop), silent_(silent) {
        listen_fd_ = sim::listen_on_loopback(0);
        listen_watch_ = loop_.watch_readable(listen_fd_, [this] { accept_client(); });
    }
    ~LoopbackPort() {
        drop_client();
        loop_.unwatch(listen_watch_);
        close(listen_fd_);
    }

    std::string address() const { return "rfc2217://127.0.0.1:" + std::to_string(sim::bound_port(listen_fd_)); }
    // The small writes of a server: whole at once.
    void send(std::string_view bytes) { ::send(client_fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    // Closes the connection with a reset, as a crashed server's host does.
    void reset() {
        linger hard{1, 0};
        setsockopt(client_fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        drop_client();
    }

    std::string log, raw;

private:
    void accept_client() {
        int fd = sim::accept_connection(listen_fd_);
        if (fd < 0 || client_fd_ >= 0) return (void)close(fd);
        client_fd_ = fd;
        client_watch_ = loop_.watch_readable(fd, [this] { client_readable(); });
        if (silent_) return;
        session_ = std::make_unique<sim::Rfc2217ServerSession>(sim::Rfc2217ServerSession::Outputs{
            [this](std::string_view bytes) { send(bytes); }, [this](std::string_view data) { log += data; },
            [this](bool on) { log += on ? "<DTR on>" : "<DTR off>"; }});
        session_->start();
        session_->modem_state(false, false, false);
    }

    void client_readable() {
        char buffer[65536];
        ssize_t n = recv(client_fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        if (n <= 0) return drop_client();
        raw.append(buffer, static_cast<std::size_t>(n));
        if (session_) session_->from_client(std::string_view(buffer, static_cast<std::size_t>(n)));
    }

    void drop_client() {
        if (client_fd_ < 0) return;
        loop_.unwatch(client_watch_);
        session_.reset();
        close(client_fd_);
        client_fd_ = -1;
    }

    PollEventLoop& loop_;
    bool silent_;
    int listen_fd_ = -1, client_fd_ = -1;
    EventLoop::Handle listen_watch_ = 0, client_watch_ = 0;
    std::unique_ptr<sim::Rfc2217ServerSession> session_;
};

using Received = testing::LineRecorder;
using testing::telnet_events;
using testing::wait_for;

TEST(Rfc2217Line, SaysEverythingAtOnceToAServerThatNeverAnswers) {
    PollEventLoop loop;
    LoopbackPort port(loop, true);
    Rfc2217Line line(loop, port.address());
    line.set_dtr(true);
    line.write("AT\xFF\r");
    line.set_dtr(false);
    line.write("x");
    const std::string expected = "opt251,44 opt251,0 opt253,0 opt251,3 opt253,3 sb44:1.0.0.218.192. sb44:2.8. sb44:3.1. "
                                 "sb44:4.1. sb44:5.1. sb44:10.30. sb44:11.255. sb44:5.8. \"AT\xFF\r\" sb44:5.9. \"x\" ";
    EXPECT_TRUE(wait_for(loop, [&] { return telnet_events({port.raw}) == expected; })) << telnet_events({port.raw});
    EXPECT_FALSE(line.modem_lines().dsr) << "no state was ever notified";
}

TEST(Rfc2217Line, WritesNeverBlockAndKeepTheirOrder) {
    PollEventLoop loop;
    LoopbackPort port(loop);
    Rfc2217Line line(loop, port.address());
    std::string block(4 << 20, '\0');
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + i / 256);
    line.write(block); // far more than the socket takes while nobody reads
    line.set_dtr(false);
    line.write(block);
    std::string expected = block + "<DTR off>" + block;
    EXPECT_TRUE(wait_for(loop, [&] { return port.log.size() >= expected.size(); }, 30));
    EXPECT_TRUE(port.log == expected) << "the server got " << port.log.size() << " bytes, out of order";
}

TEST(Rfc2217Line, LineStateNotificationsAreLineErrors) {
    PollEventLoop loop;
    LoopbackPort port(loop);
    Rfc2217Line line(loop, port.address());
    Received received(line);
    std::uint8_t notice = cpc::notify_linestate + cpc::server_offset;
    port.send(com_port_command(notice, "\x1E") + com_port_command(notice, "\xE1") + com_port_command(notice, "\x10") +
              "ok");
    EXPECT_TRUE(wait_for(loop, [&] { return received.text == "ok"; }));
    EXPECT_EQ(received.errors, (std::vector<int>{comm_event::break_signal, comm_event::framing, comm_event::parity,
                                                 comm_event::overrun, comm_event::break_signal}))
        << "time-out, shift register empty and data ready are no errors";
}

TEST(Rfc2217Line, AWriteIntoAResetConnectionIsOnePortError) {
    PollEventLoop loop;
    LoopbackPort port(loop);
    Rfc2217Line line(loop, port.address());
    Received received(line);
    port.reset();
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // the reset arrives; nobody reads it yet
    line.write("ATDT5551002\r");
    line.write("more");
    loop.process_pending_events(); // posted callbacks only: the write itself found the failure
    EXPECT_EQ(received.errors, std::vector<int>{comm_event::port_error});
    wait_for(loop, [] { return false; }, 0.1);
    EXPECT_EQ(received.errors, std::vector<int>{comm_event::port_error});
}

// A listener whose backlog is full drops new connection attempts, so the
// connect runs into its timeout: the loop goes on meanwhile.
TEST(Rfc2217Line, SaysWhyItCannotOpenAndNeverHoldsTheLoopMeanwhile) {
    PollEventLoop loop;
    const std::string refused = LoopbackPort(loop).address(); // closed again at once
    LoopbackPort taken(loop);
    Rfc2217Line first(loop, taken.address()); // the next client is hung up on
    int listener = sim::listen_on_loopback(0);
    ASSERT_EQ(listen(listener, 0), 0);
    sockaddr_in to{AF_INET, htons(static_cast<std::uint16_t>(sim::bound_port(listener))), {htonl(INADDR_LOOPBACK)}, {}};
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        fillers.push_back(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        connect(fillers.back(), reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    std::string backlogged = "rfc2217://127.0.0.1:" + std::to_string(sim::bound_port(listener));
    struct Row {
        std::string address;
        std::string error;
    };
    const std::vector<Row> rows{
        {"rfc2217://127.0.0.1", "rfc2217://127.0.0.1 is not a network port (rfc2217://host:port)"},
        {"rfc2217://127.0.0.1:0", "rfc2217://127.0.0.1:0 has no valid port number"},
        {"rfc2217://127.0.0.1:65536", "rfc2217://127.0.0.1:65536 has no valid port number"},
        {refused, "Cannot connect to " + refused + ": Connection refused"},
        {taken.address(), "Cannot connect to " + taken.address() + ": the connection was closed"},
        {backlogged, "Cannot connect to " + backlogged + ": Connection timed out"},
    };
    int ticks = 0;
    loop.start_timer(20, [&] { ++ticks; });
    double start = loop.monotonic();
    for (const Row& row : rows) {
        try {
            Rfc2217Line line(loop, row.address);
            ADD_FAILURE() << row.address << " opened";
        } catch (const LineError& e) {
            EXPECT_EQ(e.what(), row.error);
        }
    }
    double took = loop.monotonic() - start;
    EXPECT_GT(took, 2.5) << "the full backlog's connect timed out";
    EXPECT_GT(ticks, took / 0.02 * 0.5) << "the loop's timers ran while it connected";
    for (int fd : fillers) close(fd);
    close(listener);
}

} // namespace
} // namespace quillon
