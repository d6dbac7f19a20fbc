// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/poll_event_loop.h"
#include "modem/line_error_counter.h"
#include "modem/serial_control.h"
#include "modem/serial_rate.h"
#include "modem/termios_line.h"
#include "support/line_recorder.h"
#include "support/program_fixture.h"
#include "support/pseudo_terminal.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <vector>

namespace quillon {
namespace {

using Pty = testing::PseudoTerminal;
using testing::TempDir;

// A loop the test turns by hand: one fd watch, timers fired on demand, a
// clock the test moves.
class HandLoop : public EventLoop {
public:
    double time_of_day() override { return clock; }
    double monotonic() override { return clock; }
    Handle start_timer(int, Callback callback) override {
        timers[++last] = std::move(callback);
        return last;
    }
    void stop_timer(Handle timer) override { timers.erase(timer); }
    Handle watch_readable(int, Callback callback) override {
        on_readable = std::move(callback);
        return ++last;
    }
    void unwatch(Handle) override { on_readable = nullptr; }
    void post(Callback callback) override { callback(); }
    void process_pending_events() override {}
    void wait_for_events(double) override {}
    void fire_timers() {
        auto now = timers;
        for (auto& [h, callback] : now)
            if (timers.count(h)) callback();
    }
    double clock = 100;
    Handle last = 0;
    std::map<Handle, Callback> timers;
    Callback on_readable;
};

// A TermiosLine on a fresh pty, telling events.
struct OpenLine {
    Pty pty;
    TempDir locks;
    HandLoop loop;
    TermiosLine line{loop, pty.name, locks.path()};
    testing::LineRecorder events{line};
};

TEST(TermiosLine, LeavesRaw8N1BehindAndCarriesEveryByteValueBothWays) {
    Pty pty;
    TempDir locks;
    HandLoop loop;
    termios messy{};
    ASSERT_EQ(tcgetattr(pty.slave, &messy), 0);
    messy.c_cflag = (messy.c_cflag & ~CSIZE) | CS7 | PARENB | PARODD | CSTOPB | CRTSCTS;
    messy.c_iflag |= IXON | IXOFF | IXANY | INPCK | ISTRIP | ICRNL | BRKINT | PARMRK;
    messy.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
    messy.c_oflag |= OPOST | ONLCR;
    cfsetspeed(&messy, B9600);
    ASSERT_EQ(tcsetattr(pty.slave, TCSANOW, &messy), 0);

    TermiosLine line(loop, pty.name, locks.path());
    termios now{};
    ASSERT_EQ(tcgetattr(pty.slave, &now), 0);
    EXPECT_EQ(now.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(now.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(now.c_cflag & (CREAD | CLOCAL | HUPCL), static_cast<tcflag_t>(CREAD | CLOCAL | HUPCL));
    EXPECT_EQ(now.c_iflag, static_cast<tcflag_t>(IGNBRK | IGNPAR)) << "no flow control, no input processing";
    EXPECT_EQ(now.c_lflag, 0u);
    EXPECT_EQ(now.c_oflag, 0u);
    EXPECT_EQ(now.c_cc[VMIN], 1);
    EXPECT_EQ(now.c_cc[VTIME], 0);
    EXPECT_TRUE(line.rate() == line_rate || line.rate() == standard_fallback_rate);
    EXPECT_EQ(read_serial_rate(pty.slave), line.rate());
    ASSERT_TRUE(line.set_flow_control(true));
    ASSERT_EQ(tcgetattr(pty.slave, &now), 0);
    EXPECT_NE(now.c_cflag & CRTSCTS, 0u) << "RTS/CTS once asked for";

    EXPECT_FALSE(line.modem_lines().dsr) << "a pty has no modem-control lines";
    EXPECT_FALSE(line.modem_lines().dcd);

    // Every byte value, carriage returns and XON/XOFF among them, passes
    // both ways unchanged and is announced once.
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    testing::LineRecorder events(line);
    line.write(all);
    EXPECT_EQ(pty.read(256), all);
    pty.send(all);
    EXPECT_EQ(line.bytes_waiting(), 256u);
    ASSERT_TRUE(loop.on_readable);
    loop.on_readable();
    EXPECT_EQ(events.announced, 1);
    EXPECT_EQ(events.text, all);
    EXPECT_EQ(line.bytes_waiting(), 0u);
    EXPECT_TRUE(events.errors.empty()) << "a pty keeps no fault counts, so it reports no line errors";
}

std::string lock_file_of(const Pty& pty) {
    std::string name = pty.name + 5; // after /dev/
    std::replace(name.begin(), name.end(), '/', '_');
    return "LCK.." + name;
}

// How many descriptors this process has open (a pty whose master is gone
// no longer shows its name).
long descriptors() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator());
}

// A hung-up tty reads 0 and a vanished one fails, for ever: one port error,
// the tty let go of at once (descriptor and lock) and no longer watched.
TEST(TermiosLine, HangUpAndVanishingAreReportedOnceAndNoLongerWatched) {
    for (bool vhangup : {false, true}) {
        SCOPED_TRACE(vhangup ? "hung up" : "master closed");
        OpenLine open;
        auto& [pty, locks, loop, line, events] = open;
        if (vhangup) {
            if (ioctl(pty.slave, TIOCVHANGUP) != 0) GTEST_SKIP() << "TIOCVHANGUP needs CAP_SYS_ADMIN";
        } else {
            pty.close_master();
        }
        ASSERT_TRUE(loop.on_readable);
        long held = descriptors();
        ASSERT_TRUE(locks.exists(lock_file_of(pty)));
        loop.on_readable();
        EXPECT_EQ(events.errors, std::vector<int>{comm_event::port_error});
        EXPECT_FALSE(loop.on_readable) << "no longer watched";
        EXPECT_TRUE(line.gone());
        EXPECT_EQ(descriptors(), held - 1) << "the descriptor is closed";
        EXPECT_FALSE(locks.exists(lock_file_of(pty))) << "the lock is removed";
        line.write("ATH\r");
        std::string left;
        line.read_available(left);
        EXPECT_EQ(left, "");
        EXPECT_EQ(line.bytes_waiting(), 0u);
        EXPECT_EQ(line.output_pending(), 0u);
        EXPECT_FALSE(line.modem_lines().dsr);
        loop.fire_timers();
        EXPECT_EQ(events.errors.size(), 1u) << "reported once";
    }
}

// The readiness watch never fires for bytes a read already took; the
// serial control announces them itself, so the receiver's wait for the
// input buffer to drain ends.
TEST(TermiosLine, BytesTakenByTheBufferCountStillRaiseTheReceiveEvent) {
    Pty pty;
    TempDir locks;
    PollEventLoop loop;
    SerialControl comm(
        loop, [&](const std::string& d) { return std::make_unique<TermiosLine>(loop, d, locks.path()); },
        [&] { return std::map<int, std::string>{{1, pty.name}}; });
    std::string received;
    comm.on_comm = [&] { received += comm.input(); };
    comm.set_port_open(true);
    pty.send("Finished Sending File.");
    EXPECT_EQ(comm.in_buffer_count(), 22u) << "taken off the tty before any event";
    double start = loop.monotonic();
    while (comm.in_buffer_count() > 0 && loop.monotonic() - start < 2) loop.process_pending_events();
    EXPECT_EQ(received, "Finished Sending File.");
}

// A write never waits for the driver: what it does not take goes out in
// order as room appears, and a queue that stays full is reported once.
TEST(TermiosLine, WritesTheDriverCannotTakeYetAreQueuedAndAStallIsReported) {
    OpenLine open;
    auto& [pty, locks, loop, line, events] = open;
    std::string big;
    for (int i = 0; i < 200000; ++i) big += static_cast<char>('A' + i % 26);
    line.write(big);
    EXPECT_GT(line.output_pending(), 0u) << "more than a pty buffers";
    EXPECT_FALSE(loop.timers.empty()) << "the rest goes out from the loop";
    // The kernel hands what the slave took over to the master side in its
    // own time, later under load; once nothing more moves, the queue is
    // truly stuck and the stall below is a real one.
    for (std::size_t before = 0; before != line.output_pending();) {
        before = line.output_pending();
        usleep(100000);
        loop.fire_timers();
    }

    loop.clock += 4;
    loop.fire_timers();
    EXPECT_TRUE(events.errors.empty());
    loop.clock += 2;
    loop.fire_timers();
    EXPECT_EQ(events.errors, std::vector<int>{comm_event::tx_full});
    loop.clock += 10;
    loop.fire_timers();
    EXPECT_EQ(events.errors.size(), 1u) << "once a stall";

    std::string got;
    while (got.size() < big.size()) {
        got += pty.read(std::min<std::size_t>(4096, big.size() - got.size()));
        loop.fire_timers();
    }
    EXPECT_TRUE(got == big) << "in order, nothing lost or doubled";
    EXPECT_TRUE(loop.timers.empty());
}

// "opened", or why the device cannot be.
std::string open_result(const std::string& device, const std::string& lock_dir) {
    HandLoop loop;
    try {
        TermiosLine line(loop, device, lock_dir);
        return "opened";
    } catch (const LineError& e) {
        return e.what();
    }
}

// A lock file's text: the PID in ten characters and a newline.
std::string lock_text(pid_t pid) {
    char text[16];
    std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
    return text;
}

// The refusal of a device a lock of pid holds, naming its program.
std::string held_by(const std::string& device, pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string program;
    std::getline(in, program);
    return device + " is in use by " + program + " (process " + std::to_string(pid) + ")";
}

std::vector<std::string> files_in(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// A device is locked under every name it is opened by, and a stale lock is
// taken over. Other programs lock it under the name they were given, a
// link's among them, may leave the PID for a moment after making the file,
// or take the tty itself with flock. A refused open leaves the locks as it
// found them.
TEST(TermiosLine, LocksAreHeldUnderEveryNameAndDevicesItCannotUseAreRefused) {
    Pty pty;
    TempDir locks;
    TempDir links;
    HandLoop loop;
    const std::string device = pty.name, link = links.file("ttyC"), lock = lock_file_of(pty);
    ASSERT_EQ(symlink(pty.name, link.c_str()), 0);
    int other = -1;
    struct Row {
        const char* what;
        std::function<void()> setup;
        std::string device;
        std::string error;
    };
    const std::vector<Row> rows{
        {"no such device", [] {}, "/dev/quillon-no-such-port", "/dev/quillon-no-such-port does not exist"},
        {"not a tty", [] {}, "/dev/null", "/dev/null is not a serial port"},
        {"a live process's lock", [&] { locks.write(lock_file_of(pty), lock_text(getppid())); }, device,
         held_by(device, getppid())},
        {"a lock under the link's name", [&] { locks.write("LCK..ttyC", lock_text(getppid())); }, link,
         held_by(link, getppid())},
        {"a lock its maker has not yet written the PID into", [&] { locks.write(lock_file_of(pty), ""); }, device,
         device + " is locked by another program"},
        {"another program's flock",
         [&] {
             other = ::open(pty.name, O_RDWR | O_NOCTTY);
             ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
         },
         device, device + " is in use by another program"},
    };
    for (const Row& row : rows) {
        row.setup();
        std::vector<std::string> before = files_in(locks);
        EXPECT_EQ(open_result(row.device, locks.path()), row.error) << row.what;
        EXPECT_EQ(files_in(locks), before) << row.what;
        for (const std::string& name : before) std::remove(locks.file(name).c_str());
    }
    ::close(other);

    {
        TermiosLine line(loop, link, locks.path());
        EXPECT_EQ(files_in(locks), (std::vector<std::string>{lock, "LCK..ttyC"})) << "locked under both names";
        EXPECT_EQ(locks.read(lock), lock_text(getpid()));
        EXPECT_EQ(locks.read("LCK..ttyC"), lock_text(getpid()));
        EXPECT_EQ(open_result(pty.name, locks.path()), held_by(pty.name, getpid())) << "a device opened twice";
        EXPECT_EQ(locks.read(lock), lock_text(getpid())) << "the refused open leaves the holder's lock alone";
    }
    EXPECT_TRUE(files_in(locks).empty()) << "closing removes the locks";

    pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    locks.write(lock, lock_text(dead));
    {
        TermiosLine line(loop, pty.name, locks.path());
        EXPECT_EQ(locks.read(lock), lock_text(getpid())) << "a dead owner's lock is taken over";
        remove_held_tty_locks();
        EXPECT_FALSE(locks.exists(lock)) << "an exit without destructors still removes it";
    }

    locks.write(lock, "");
    timespec long_ago[2] = {{0, 0}, {std::time(nullptr) - 60, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, locks.file(lock).c_str(), long_ago, 0), 0);
    EXPECT_EQ(open_result(pty.name, locks.path()), "opened") << "an empty lock a minute old is stale";
}

// Tried by a user without the right to the device: root drops to nobody.
TEST(TermiosLine, PermissionDeniedSaysWhichGroupToJoin) {
    Pty pty;
    ASSERT_EQ(fchmod(pty.slave, 0600), 0);
    int pipe_fds[2];
    ASSERT_EQ(pipe(pipe_fds), 0);
    pid_t child = fork();
    if (child == 0) {
        std::string text = "opened";
        if (geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0)) text = open_result(pty.name, "/nonexistent");
        [[maybe_unused]] ssize_t n = ::write(pipe_fds[1], text.data(), text.size());
        _exit(0);
    }
    waitpid(child, nullptr, 0); // its one short write is whole in the pipe
    char buffer[512];
    ssize_t n = ::read(pipe_fds[0], buffer, sizeof buffer);
    std::string text(buffer, static_cast<std::size_t>(std::max<ssize_t>(0, n)));
    for (int fd : pipe_fds) ::close(fd);
    // A pty is its owner's alone: the text names owner and group, and no
    // variable is left for the user to expand.
    EXPECT_EQ(text.rfind(std::string("Permission denied on ") + pty.name + " (owner root, group ", 0), 0u) << text;
    EXPECT_NE(text.find("): only its owner may use it"), std::string::npos) << text;
    EXPECT_EQ(text.find('$'), std::string::npos) << text;
}

TEST(LineErrorCounter, OneEventForEachKindOfFaultThatGrew) {
    std::vector<LineErrorCounts> counts = {{}, {1, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {3, 2, 1, 1, 1}, {3, 2, 1, 1, 1},
                                           {3, 2, 5, 1, 1}};
    std::size_t next = 0;
    LineErrorCounter counter([&]() -> std::optional<LineErrorCounts> { return counts.at(next++); });
    ASSERT_TRUE(counter.available());
    using V = std::vector<int>;
    EXPECT_EQ(counter.new_events(), V{comm_event::break_signal});
    EXPECT_EQ(counter.new_events(), V{});
    EXPECT_EQ(counter.new_events(), (V{comm_event::break_signal, comm_event::framing, comm_event::overrun,
                                       comm_event::rx_overflow, comm_event::parity}));
    EXPECT_EQ(counter.new_events(), V{});
    EXPECT_EQ(counter.new_events(), V{comm_event::overrun});

    LineErrorCounter none([] { return std::optional<LineErrorCounts>(); });
    EXPECT_FALSE(none.available());
    EXPECT_EQ(none.new_events(), V{});

    Pty pty;
    EXPECT_FALSE(read_driver_counts(pty.slave)) << "a pty keeps no fault counts";
}

// The whole program core on the poll loop, its port 1 a real TermiosLine on
// the slave of a pty.
// With settings, the start-up is left as it is; without, the call is
// taken as up.
struct PtyProgram : ::testing::Test {
    explicit PtyProgram(const std::string& settings = "") {
        dir.write("quillon.ini",
                  "[Quillon]\nPORTNO.=1\nDIALMODE=tone\n" + settings + "[Ports]\nCOMM1=" + pty.name + "\n");
        program = std::make_unique<Program>(Platform{
            loop, dialogs, media,
            [this](const std::string& device) { return std::make_unique<TermiosLine>(loop, device, locks.path()); },
            [] { return make_sqlite_address_store(); }, FileLocations::portable(dir.path()), {}});
        program->main_window.Form_Load();
        EXPECT_TRUE(program->MSComm1.port_open());
        run_until([&] { return heard.find("AT&D2\r") != std::string::npos; });
        pty.send("OK\r\n");
        run_until([&] { return heard.find("ATE0\r") != std::string::npos; });
        if (!settings.empty()) return;
        // A pty has no carrier line, so the 5-second check would end any
        // call at once: the call is taken as up and the check stopped.
        program->Timer1.set_enabled(false);
        program->state.connected = 1;
    }
    bool run_until(const std::function<bool()>& done, double seconds = 20) {
        auto heard_so_far = [&] {
            heard += pty.take();
            return done();
        };
        return testing::wait_for(loop, heard_so_far, seconds);
    }

    testing::PseudoTerminal pty;
    std::string heard; // everything the program wrote to its modem
    TempDir dir, locks;
    PollEventLoop loop;
    testing::ScriptedDialogs dialogs;
    testing::FakeMedia media;
    std::unique_ptr<Program> program;
};

// A pty has neither DSR nor DCD, as a three-wire cable has not.
struct PtyWithoutModemLines : PtyProgram {
    PtyWithoutModemLines() : PtyProgram("IGNOREMODEMLINES=on\n") {}
};

TEST_F(PtyWithoutModemLines, DialsAndTheCallIsUpFromConnectUntilNoCarrier) {
    MainForm& f = program->frmmain;
    EXPECT_EQ(f.txtreceived.text().rfind("Modem ready...", 0), 0u) << "DSR is not asked";
    for (char d : std::string("5551002")) f.Cmddialn[d - '0'].click();
    ASSERT_TRUE(f.cmddial.enabled());
    std::size_t before = heard.size();
    f.cmddial.click();
    ASSERT_TRUE(run_until([&] { return heard.find("ATDT5551002\r", before) != std::string::npos; }));
    pty.send("\r\nCONNECT 56000\r\n");
    ASSERT_TRUE(run_until([&] { return program->state.connected == 1; }));
    program->supervision.check_carrier();
    EXPECT_EQ(program->state.connected, 1) << "no DCD, and still up";
    pty.send("\r\nNO CARRIER\r\n");
    ASSERT_TRUE(run_until([&] { return !program->MSComm1.cd_holding(); }));
    program->supervision.check_carrier();
    EXPECT_EQ(program->state.connected, 0);
}

// An adapter pulled in a call: the port is let go of at once and the
// window shows the call as over; the device, back, opens again.
TEST_F(PtyProgram, ALostDeviceEndsTheCallAndOpensAgainWhenPicked) {
    MainForm& f = program->frmmain;
    pty.close_master();
    ASSERT_TRUE(run_until([&] { return !program->MSComm1.port_open(); }));
    EXPECT_EQ(program->state.connected, 0);
    EXPECT_FALSE(f.cmdcan.enabled());
    EXPECT_FALSE(f.port_item(1).checked());
    EXPECT_TRUE(std::filesystem::is_empty(locks.path())) << "the lock is gone";
    ASSERT_TRUE(run_until([&] { return !dialogs.messages().empty(); }, 1));
    EXPECT_EQ(dialogs.messages().back(), std::string(pty.name) + " has gone (unplugged or hung up); the call is over. "
                                                              "Once it is back, pick its port again from the menu.");

    // The device comes back under the same name: a fresh pty's master
    // stands in, as the old slave is useless without its master.
    testing::PseudoTerminal fresh;
    dir.write("quillon.ini", std::string("[Quillon]\nPORTNO.=1\nDIALMODE=tone\n[Ports]\nCOMM1=") + fresh.name + "\n");
    f.port_item(1).choose();
    EXPECT_TRUE(program->MSComm1.port_open());
    EXPECT_TRUE(f.port_item(1).checked());
    program.reset();
}

} // namespace
} // namespace quillon
