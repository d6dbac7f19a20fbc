// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/poll_event_loop.h"
#include "modem/rfc2217_line.h"
#include "sim/tcp_listener.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <thread>

namespace quillon {
namespace {

struct Collect : LineListener {
    explicit Collect(Line& line) : line_(line) { line.set_listener(this); }
    void line_readable() override { text += line_.read_available(); }
    void line_error(int) override {}
    Line& line_;
    std::string text;
};

std::string read_master(int fd, std::size_t want, double seconds) {
    std::string got;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (got.size() < want && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        char buffer[256];
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

// ser2net in front of a pseudo-terminal: the data path works both ways,
// though ser2net never answers for the pty's DTR.
TEST(Rfc2217Ser2net, DataBothWaysThroughAPseudoTerminal) {
    if (access("/usr/sbin/ser2net", X_OK) != 0) GTEST_SKIP() << "ser2net is not installed";
    int master = -1, slave = -1;
    char name[128];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    close(slave);
    int probe = sim::listen_on_loopback(0);
    int port = sim::bound_port(probe);
    close(probe);

    testing::TempDir dir;
    dir.write("ser2net.yaml", "connection: &quillon\n"
                              "  accepter: telnet(rfc2217),tcp,127.0.0.1," + std::to_string(port) + "\n"
                              "  connector: serialdev," + std::string(name) + ",57600n81,local\n");
    testing::ChildProcess ser2net(
        {"/usr/sbin/ser2net", "-n", "-u", "-P", dir.file("ser2net.pid"), "-c", dir.file("ser2net.yaml")});

    PollEventLoop loop;
    std::unique_ptr<Rfc2217Line> line;
    for (int attempt = 0; attempt < 50 && !line; ++attempt) {
        try {
            line = std::make_unique<Rfc2217Line>(loop, "rfc2217://127.0.0.1:" + std::to_string(port));
        } catch (const LineError&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    ASSERT_TRUE(line) << "ser2net did not listen";
    Collect received(*line);
    line->set_dtr(true); // never answered on a pty; nothing may wait for it

    line->write("ATDT5551002\r\xFF");
    EXPECT_EQ(read_master(master, 13, 5), "ATDT5551002\r\xFF");

    std::string back = "\r\nCONNECT 56000\r\n\xFF";
    ASSERT_EQ(write(master, back.data(), back.size()), static_cast<ssize_t>(back.size()));
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (received.text.size() < back.size() && std::chrono::steady_clock::now() < deadline)
        loop.wait_for_events(0.05);
    EXPECT_EQ(received.text, back);
    line.reset();
    close(master);
}

} // namespace
} // namespace quillon
