// SPDX-License-Identifier: GPL-3.0-or-later
// Quillon from its command line against lrzsz's programs on the other modem
// of the line simulator (no rate limit, no delay): ZMODEM, YMODEM and
// XMODEM each way, files about every block's edges, a name with spaces.
#include "modem/device_opener.h"
#include "stations.h"
#include "support/line_recorder.h"
#include "support/modem_peer.h"
#include "support/random_content.h"

#include <sstream>

namespace quillon::testing {
namespace {

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
    Station quillon;
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
