// SPDX-License-Identifier: GPL-3.0-or-later
// The real program from the command line, without a display, on the line
// simulator: one copy answers, another dials and sends, or lrzsz's programs
// are the peer; what they save, the codes they end with and the words they
// say.
#include "modem/device_opener.h"
#include "support/line_recorder.h"
#include "support/modem_peer.h"
#include "support/program_copy.h"
#include "support/random_content.h"
#include "support/temp_dir.h"
#include "support/two_modems.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>

namespace quillon::testing {
namespace {

namespace fs = std::filesystem;

// Every line it says until it ends; its status.
std::pair<int, std::string> outcome(ChildProcess& p, double seconds) {
    std::string said;
    while (auto line = p.read_line(seconds)) said += *line + "\n";
    return {p.wait(5).value_or(-1), said};
}

class Unattended : public ::testing::Test {
protected:
    void SetUp() override {
        // As on a server: no display, no Qt platform.
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) ::unsetenv(name);
    }
};

TEST_F(Unattended, SendsEveryFileInEitherFormAndTheyArriveIdentical) {
    struct Case {
        const char* form;
        std::vector<std::pair<std::string, std::string>> files; // name, content
        std::vector<std::string> saved_as;
    };
    const std::vector<Case> cases{
        {"binary", {{"a.bin", random_bytes(3000, 1)}, {"b.bin", random_bytes(1, 2)}, {"sub/a.bin", random_bytes(700, 3)}},
         {"a.bin", "b.bin", "a (1).bin"}},
        {"text", {{"notes.txt", random_text(2500, 4)}, {"empty.txt", ""}}, {"notes.txt", "empty.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        TwoModems line;
        ProgramOnPort caller(line.ports[0]), answerer(line.ports[1]);
        auto answering = answerer.run({"--answer", "--receive-into", answerer.dir.file("in")});
        std::vector<std::string> args{"--dial", "5551002", "--form", c.form};
        for (const auto& [name, content] : c.files) {
            fs::create_directories(fs::path(caller.dir.file(name)).parent_path());
            caller.dir.write(name, content);
            args.insert(args.end(), {"--send", caller.dir.file(name)});
        }
        auto dialling = caller.run(args);
        auto [sent, said] = outcome(*dialling, 60);
        EXPECT_EQ(sent, 0) << said;
        EXPECT_NE(said.find("all sent; hung up"), std::string::npos) << said;
        auto [received, heard] = outcome(*answering, 30);
        EXPECT_EQ(received, 0) << heard;
        for (std::size_t i = 0; i < c.files.size(); ++i)
            EXPECT_EQ(answerer.dir.read("in/" + c.saved_as[i]), c.files[i].second) << c.saved_as[i];
        EXPECT_FALSE(answerer.dir.exists("vlorn.cmp"));
    }
}

TEST_F(Unattended, EachFailureEndsWithItsCodeAndSaysWhy) {
    struct Case {
        const char* name;
        const char* control; // said to the simulator first
        std::vector<std::string> args;
        int status;
        const char* words;
    };
    const std::vector<Case> cases{
        {"busy", "busy 5551002 on", {"--dial", "5551002"}, 3, "5551002 is busy"},
        {"no dial tone", "unplug 5551001 on", {"--dial", "5551002"}, 4, "no dial tone"},
        {"no such port", nullptr, {"--dial", "5551002", "--port", "3"}, 5, "port 3 (/dev/quillon-no-such-port) cannot be opened"},
        {"a file that is not there", nullptr, {"--dial", "5551002", "--send", "/nonexistent/x"}, 6, "sending x failed"},
        {"usage", nullptr, {"--dial", "5551002", "--calls", "2"}, 2, "--receive-into and --calls go with --answer"},
        {"usage", nullptr, {"--answer", "--port", "9"}, 2, "--port takes a whole number from 1 to 4"},
        {"usage", nullptr, {"--bogus"}, 2, "unknown option \"--bogus\""},
        {"usage", nullptr, {"--answer", "--form", "text"}, 2, "--send and --form binary|text go with --dial"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TwoModems line;
        if (c.control) {
            EXPECT_EQ(ask_line(line.ports[2], c.control), "OK");
        }
        ProgramOnPort caller(line.ports[0]), answerer(line.ports[1]);
        auto answering = answerer.run({"--answer"});
        auto [status, said] = outcome(*caller.run(c.args), 30);
        EXPECT_EQ(status, c.status) << said;
        EXPECT_NE(said.find(c.words), std::string::npos) << said;
    }
}

TEST_F(Unattended, SigtermInATransferHangsUpAndLeavesNothingBehind) {
    TwoModems line;
    ProgramOnPort caller(line.ports[0]), answerer(line.ports[1]);
    auto answering = answerer.run({"--answer", "--receive-into", answerer.dir.file("in")});
    caller.dir.write("big.bin", random_bytes(200000, 5));
    auto dialling = caller.run({"--dial", "5551002", "--send", caller.dir.file("big.bin")});
    std::string heard;
    while (auto said = answering->read_line(30)) {
        heard += *said + "\n";
        if (said->find("saving into") != std::string::npos) break;
    }
    ASSERT_NE(heard.find("saving into"), std::string::npos) << heard;
    answering->terminate(SIGTERM);
    auto [status, said] = outcome(*answering, 15);
    EXPECT_EQ(status, 128 + SIGTERM) << said;
    EXPECT_TRUE(fs::is_empty(answerer.dir.file("in")));
    EXPECT_FALSE(answerer.dir.exists("vlorn.cmp"));
    auto [sent, told] = outcome(*dialling, 30);
    EXPECT_EQ(sent, 6) << told;
    EXPECT_NE(told.find("sending big.bin failed"), std::string::npos) << told;
    EXPECT_EQ(ask_line(line.ports[2], "list"), "5551001 idle; 5551002 idle");

    // Nothing held: the next run gets the port and the files, and holds
    // them against a third.
    auto again = answerer.run({"--answer"});
    EXPECT_EQ(again->read_line(10).value_or(""), "quillon: waiting for calls");
    auto [third, why] = outcome(*answerer.run({"--answer"}), 10);
    EXPECT_EQ(third, 7) << why;
    EXPECT_NE(why.find("Quillon already runs with the files in " + answerer.dir.path()), std::string::npos) << why;
}

// Quillon against lrzsz's programs on the other modem of the simulator (no
// rate limit, no delay): ZMODEM, YMODEM and XMODEM each way, files about
// every block's edges, a name with spaces.
using Commands = std::vector<std::vector<std::string>>;
using Names = std::vector<std::string>;

struct Row {
    const char* name;
    const char* form;
    bool quillon_sends;
    Names peer;
    // When set, the peer runs a command a file, this one for every other.
    Names odd_peer = {};
};

// The peer's commands: one for every file, a receiver's without names, or
// one a file.
Commands commands_for(const Row& row, const Names& names) {
    Commands commands{row.peer};
    if (row.odd_peer.empty()) {
        if (!row.quillon_sends) commands[0].insert(commands[0].end(), names.begin(), names.end());
        return commands;
    }
    commands.clear();
    for (std::size_t i = 0; i < names.size(); ++i) {
        commands.push_back(i % 2 ? row.odd_peer : row.peer);
        commands.back().push_back(names[i]);
    }
    return commands;
}

// One row on a line of its own: Quillon from its command line on one modem,
// the peer's commands in turn on the other once both have the call.
struct RowRun {
    RowRun(PollEventLoop& loop, LineOpener& devices, const Row& row, const std::vector<SampleFile>& files)
        : row(row), line({"--rate", "0", "--latency-ms", "0"}), peer(loop, devices, line.ports[0]),
          quillon(line.ports[1]) {
        Names args{"--answer", "--receive-into", quillon.dir.file("in"), "--form", row.form};
        if (row.quillon_sends) args = {"--dial", "5551001", "--form", row.form};
        for (const SampleFile& f : files) {
            (row.quillon_sends ? quillon.dir : peer_dir).write(f.name, f.content);
            names.push_back(f.name);
            if (row.quillon_sends) args.insert(args.end(), {"--send", quillon.dir.file(f.name)});
        }
        commands = commands_for(row, names);
        q = quillon.run(args);
    }

    // Moves on as far as it can; true once Quillon has ended.
    bool advance() {
        while (auto l = q->read_line(0)) said += *l + "\n";
        if (!row.quillon_sends && !dialled && said.find("waiting for calls") != std::string::npos) {
            dialled = true;
            peer.dial("5551002");
        }
        // Quillon counts the call a moment after its modem says CONNECT.
        const bool both = peer.connected && (said.find("connected to") != std::string::npos ||
                                             said.find("call answered") != std::string::npos);
        if (both && running && peer.status()) {
            statuses.push_back(*peer.status());
            running = false;
        }
        // rx (a command a file) starts once Quillon's session for its file
        // is ready: after Quillon has said the one before was sent.
        const bool ready = !row.quillon_sends || sent() >= statuses.size();
        if (both && !running && statuses.size() < commands.size()) {
            if (ready) peer.run(commands[statuses.size()], peer_dir.path());
            running = ready;
        } else if (both && !running && !row.quillon_sends && !hung_up) {
            hung_up = true;
            peer.hang_up();
        }
        return q->wait(0).has_value();
    }

    std::size_t sent() const {
        std::size_t n = 0;
        for (auto at = said.find("quillon: sent "); at != std::string::npos; at = said.find("quillon: sent ", at + 1)) ++n;
        return n;
    }

    const Row& row;
    TwoModems line;
    ModemPeer peer;
    ProgramOnPort quillon;
    TempDir peer_dir;
    Names names;
    Commands commands;
    std::unique_ptr<ChildProcess> q;
    std::string said;
    bool dialled = false, running = false, hung_up = false;
    std::vector<int> statuses; // of the peer's commands that have ended
};

// All rows at once: Quillon's port runs at 56 kbit/s whatever the line.
TEST_F(Unattended, TradesFilesWithLrzszInEachProtocolBothWays) {
    if (std::system("command -v sz rz sb rb sx rx >/dev/null 2>&1") != 0) GTEST_SKIP() << "lrzsz is not installed";
    const std::vector<Row> rows{
        {"sz to Quillon", "zmodem", false, {"sz", "-b"}},
        {"Quillon to rz", "zmodem", true, {"rz", "-b"}},
        {"sb to Quillon", "ymodem", false, {"sb"}},
        {"Quillon to rb", "ymodem", true, {"rb"}},
        // 1K blocks and 128-byte blocks, both with CRC-16 (Quillon asks for it).
        {"sx to Quillon", "xmodem", false, {"sx", "-k"}, {"sx"}},
        // rx takes CRC-16 with -c and the arithmetic sum without; Quillon
        // sends 128-byte blocks, as its window does. rx needs the name.
        {"Quillon to rx", "xmodem", true, {"rx", "-c"}, {"rx"}},
    };
    const std::vector<SampleFile> files = sample_files(27);
    PollEventLoop loop;
    LineOpener devices = make_device_opener(loop);
    std::vector<std::unique_ptr<RowRun>> runs;
    for (const Row& row : rows) runs.push_back(std::make_unique<RowRun>(loop, devices, row, files));
    wait_for(
        loop,
        [&] {
            bool all = true;
            for (auto& run : runs) all = run->advance() && all;
            return all;
        },
        150);
    for (auto& run : runs) {
        const Row& row = run->row;
        SCOPED_TRACE(row.name);
        const bool xmodem = row.form == std::string("xmodem");
        EXPECT_EQ(run->q->wait(0), 0) << run->said;
        EXPECT_EQ(run->statuses, std::vector<int>(run->commands.size(), 0)) << run->said;
        for (std::size_t i = 0; i < files.size(); ++i) {
            // XMODEM carries no name: Quillon saves its files under one.
            std::string got = row.quillon_sends ? run->peer_dir.read(files[i].name)
                              : xmodem ? run->quillon.dir.read("in/received" + (i ? " (" + std::to_string(i) + ")" : ""))
                                       : run->quillon.dir.read("in/" + files[i].name);
            EXPECT_TRUE(xmodem ? same_but_padding(got, files[i].content) : got == files[i].content)
                << files[i].name << ": " << got.size() << " bytes";
        }
        // What the boxes said (XMODEM's name, the reports) went to the session
        // log as well as to stderr.
        const std::string log = run->quillon.session_log();
        std::istringstream lines(run->said);
        int boxes = 0;
        for (std::string said_line; std::getline(lines, said_line);) {
            if (said_line.find("saving into") == std::string::npos && said_line.find("protocol : ") == std::string::npos)
                continue;
            ++boxes;
            EXPECT_NE(log.find(said_line.substr(std::string("quillon: ").size())), std::string::npos) << said_line;
        }
        EXPECT_TRUE(boxes > 0 || !xmodem || row.quillon_sends);
    }
}

} // namespace
} // namespace quillon::testing
