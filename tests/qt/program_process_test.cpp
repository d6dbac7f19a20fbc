// SPDX-License-Identifier: GPL-3.0-or-later
// The real program on the offscreen platform, started from a program
// directory of its own: what reaches the line at start-up, and what the
// shut-down writes to quillon.ini and the session log when a signal ends it.
#include "support/child_process.h"
#include "support/program_copy.h"
#include "support/pseudo_terminal.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

namespace quillon::testing {
namespace {

const std::string program_dir = QUILLON_PROGRAM_DIR;

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
    const std::string ini = std::string("; kept as it is\n[Quillon]\nPORTNO.=2\nDIALMODE=tone\n[Ports]\nCOMM2=") +
                            modem.name + "\nCOMM3=/dev/null\n";
    ProgramCopy copy(ini);
    ChildProcess quillon({copy.dir.file("quillon")});

    EXPECT_EQ(modem.read_until("AT&D2\r", 20), "AT&D2\r") << "the first command and nothing before it";
    modem.send("\r\nOK\r\n");
    EXPECT_EQ(modem.read_until("ATE0\r", 10), "ATE0\r") << "the first OK gets echo switched off";
    modem.send("\r\nRING\r\n");
    EXPECT_EQ(modem.read_until("ATA\r", 10), "ATA\r");

    quillon.terminate(GetParam().signal_number);
    EXPECT_EQ(quillon.wait(10), 0);
    EXPECT_EQ(copy.dir.read("quillon.ini"), ini) << "settings read unchanged go back as they were";
    // The ring was logged well within the second a line may wait for the disk.
    const std::string log = session_log_in(copy.dir);
    EXPECT_NE(log.find(" incoming call\n"), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(Signals, ProgramOnAPseudoTerminal,
                         ::testing::Values(Ending{SIGTERM, "SIGTERM"}, Ending{SIGINT, "SIGINT"},
                                           Ending{SIGHUP, "SIGHUP"}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace quillon::testing
