// SPDX-License-Identifier: GPL-3.0-or-later
// The real program on the offscreen platform, started from a program
// directory of its own: what reaches the line at start-up, and what the
// shut-down writes to quillon.ini when a signal ends it.
#include "support/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <pty.h>
#include <thread>
#include <unistd.h>

namespace quillon::testing {
namespace {

const std::string program_dir = QUILLON_PROGRAM_DIR;

// A pseudo-terminal whose far end the program opens as its serial port;
// the test plays the modem on the near end.
class PseudoTerminal {
public:
    PseudoTerminal() {
        EXPECT_EQ(::openpty(&modem_, &port_, name_, nullptr, nullptr), 0);
        for (int fd : {modem_, port_}) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    ~PseudoTerminal() {
        ::close(modem_);
        ::close(port_);
    }
    std::string device() const { return name_; }

    // Collects what the program writes until the bytes end with want, or
    // the time is up; returns everything collected.
    std::string read_until(const std::string &want, double seconds) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        std::string got;
        while (got.size() < want.size() || got.compare(got.size() - want.size(), want.size(), want) != 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            pollfd p{modem_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
            char buffer[256];
            ssize_t n = ::read(modem_, buffer, sizeof buffer);
            if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
            else std::this_thread::sleep_for(std::chrono::milliseconds(20)); // not opened yet
        }
        return got;
    }
    void answer(const std::string &bytes) { EXPECT_EQ(::write(modem_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }

private:
    int modem_ = -1;
    int port_ = -1;
    char name_[128] = {};
};

// A copy of the program directory with its own quillon.ini.
struct ProgramCopy {
    explicit ProgramCopy(const std::string &ini) {
        std::filesystem::copy_file(program_dir + "/quillon", dir.file("quillon"));
        std::filesystem::copy(program_dir + "/images", dir.file("images"));
        dir.write("quillon.ini", ini);
    }
    TempDir dir;
};

struct Ending {
    int signal_number;
    const char *name;
};
void PrintTo(const Ending &ending, std::ostream *out) { *out << ending.name; }

class ProgramOnAPseudoTerminal : public ::testing::TestWithParam<Ending> {};

TEST_P(ProgramOnAPseudoTerminal, InitialisesTheModemAndWritesItsSettingsWhenSignalled) {
    PseudoTerminal modem;
    const std::string ini = "; kept as it is\n[Quillon]\nPORTNO.=2\nDIALMODE=tone\n[Ports]\nCOMM2=" +
                            modem.device() + "\nCOMM3=/dev/null\n";
    ProgramCopy copy(ini);
    ChildProcess quillon({copy.dir.file("quillon")});

    EXPECT_EQ(modem.read_until("AT&D2\r", 20), "AT&D2\r") << "the first command and nothing before it";
    modem.answer("\r\nOK\r\n");
    EXPECT_EQ(modem.read_until("ATE0\r", 10), "ATE0\r") << "the first OK gets echo switched off";
    modem.answer("\r\nRING\r\n");
    EXPECT_EQ(modem.read_until("ATA\r", 10), "ATA\r");

    quillon.terminate(GetParam().signal_number);
    EXPECT_EQ(quillon.wait(10), 0);
    EXPECT_EQ(copy.dir.read("quillon.ini"), ini) << "settings read unchanged go back as they were";
}

INSTANTIATE_TEST_SUITE_P(Signals, ProgramOnAPseudoTerminal,
                         ::testing::Values(Ending{SIGTERM, "SIGTERM"}, Ending{SIGINT, "SIGINT"},
                                           Ending{SIGHUP, "SIGHUP"}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace quillon::testing
