#include "modem/termios_line.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace quillon {
namespace {

// Just enough of a loop to hand over the line's fd watch.
class WatchLoop : public EventLoop {
public:
    double time_of_day() override { return 0; }
    double monotonic() override { return 0; }
    Handle start_timer(int, Callback) override { return 0; }
    void stop_timer(Handle) override {}
    Handle watch_readable(int, Callback callback) override {
        on_readable = std::move(callback);
        return 1;
    }
    void unwatch(Handle) override { on_readable = nullptr; }
    void post(Callback callback) override { callback(); }
    void process_pending_events() override {}
    void wait_for_events(double) override {}
    Callback on_readable;
};

struct Listener : LineListener {
    void line_readable() override { ++readable; }
    void line_error(int) override { ++errors; }
    int readable = 0;
    int errors = 0;
};

TEST(TermiosLine, CarriesEveryByteValueOverAPseudoTerminal) {
    int master = -1, slave = -1;
    char name[256];
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    WatchLoop loop;
    Listener listener;
    {
        TermiosLine line(loop, name);
        line.set_listener(&listener);
        EXPECT_FALSE(line.modem_lines().dsr) << "a pty has no modem-control lines";
        EXPECT_FALSE(line.modem_lines().dcd);
        line.set_dtr(false);
        line.set_dtr(true);

        std::string all;
        for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
        line.write(all);
        std::string got;
        while (got.size() < all.size()) {
            char buffer[512];
            ssize_t n = ::read(master, buffer, sizeof buffer);
            ASSERT_GT(n, 0);
            got.append(buffer, static_cast<std::size_t>(n));
        }
        EXPECT_EQ(got, all);

        ASSERT_EQ(::write(master, all.data(), all.size()), 256);
        ::usleep(20000);
        ASSERT_TRUE(loop.on_readable);
        loop.on_readable();
        EXPECT_GE(listener.readable, 1);
        EXPECT_EQ(line.read_available(), all);
        EXPECT_EQ(line.bytes_waiting(), 0u);
    }
    ::close(slave);
    ::close(master);
}

TEST(TermiosLine, ClearErrorsForDevicesThatCannotBeUsed) {
    WatchLoop loop;
    try {
        TermiosLine line(loop, "/dev/quillon-no-such-port");
        FAIL();
    } catch (const LineError& e) {
        EXPECT_STREQ(e.what(), "/dev/quillon-no-such-port does not exist");
    }
    try {
        TermiosLine line(loop, "/dev/null");
        FAIL();
    } catch (const LineError& e) {
        EXPECT_STREQ(e.what(), "/dev/null is not a serial port");
    }
}

} // namespace
} // namespace quillon
