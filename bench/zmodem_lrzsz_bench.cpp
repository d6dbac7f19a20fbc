// SPDX-License-Identifier: GPL-3.0-or-later
// ZMODEM between a program core and lrzsz over the real line simulator
// (56000 bit/s, 40 ms one way, on 127.0.0.1), 200 KB of random bytes each
// way, in real time, beside sz to rz on a line of its own with the same
// settings. Claim: each way Quillon moves the file at 0.95 or more of the
// line's byte rate (5600 bytes a second) and at 0.98 or more of what sz to
// rz moves, the files identical. Exits 1 when a claim fails; about three
// minutes.
#include "linesim_sides.h"
#include "modem/device_opener.h"
#include "support/line_recorder.h"
#include "support/modem_peer.h"
#include "support/random_content.h"

#include <cstdio>
#include <filesystem>

namespace {

using namespace quillon;

constexpr double line_bytes_per_second = 5600, min_of_line = 0.95, min_of_lrzsz = 0.98;
constexpr std::size_t size = 200 * 1024;

using Peer = testing::ModemPeer;

struct Outcome {
    bool whole = false;
    double seconds = 0;
    double rate() const { return whole && seconds > 0 ? size / seconds : 0; }
};

Outcome lrzsz_alone(PollEventLoop& loop, LineOpener& devices, const std::string& content) {
    bench::Simulator sim;
    Peer caller(loop, devices, sim.a), callee(loop, devices, sim.b);
    testing::wait_for(loop, [] { return false; }, 1);
    caller.dial("5551002");
    if (!testing::wait_for(loop, [&] { return caller.connected && callee.connected; }, 30)) return {};
    testing::TempDir from, to;
    from.write("file.bin", content);
    const double start = loop.monotonic();
    callee.run({"rz", "-b"}, to.path());
    caller.run({"sz", "-b", "file.bin"}, from.path());
    bool ended = testing::wait_for(loop, [&] { return caller.status() && callee.status(); }, 180);
    return {ended && caller.status() == 0 && callee.status() == 0 && to.read("file.bin") == content,
            loop.monotonic() - start};
}

int run() {
    const std::string content = testing::random_bytes(size, 5);
    PollEventLoop loop;
    LineOpener devices = make_device_opener(loop);

    const Outcome alone = lrzsz_alone(loop, devices, content);

    bench::Simulator sim;
    if (!sim.a || !sim.b) {
        std::printf("the line simulator did not start\n");
        return 1;
    }
    bench::Side quillon(loop, sim.a, devices);
    Peer peer(loop, devices, sim.b);
    quillon.program->main_window.Form_Load();
    if (!testing::wait_for(
            loop, [&] { return quillon.w().Cmddialn[5].enabled() && quillon.s().modem_init_state == 2; }, 20)) {
        std::printf("the modem did not get ready\n");
        return 1;
    }
    for (char d : std::string("5551002"))
        quillon.w().Cmddialn[d - '0'].click();
    quillon.w().cmddial.click();
    if (!testing::wait_for(loop, [&] { return quillon.s().connected == 1 && peer.connected; }, 60)) {
        std::printf("the call did not connect\n");
        return 1;
    }
    const ProtocolTransfer& protocols = quillon.program->protocols;

    // Quillon to rz.
    testing::TempDir peer_dir;
    quillon.dir.write("send.bin", content);
    quillon.dialogs.open_answers.push_back(quillon.dir.file("send.bin"));
    quillon.w().filemodezmodem.choose();
    peer.run({"rz", "-b"}, peer_dir.path());
    double start = loop.monotonic();
    quillon.w().cmdsend.click();
    bool ended = testing::wait_for(loop, [&] { return peer.status() && !protocols.running(); }, 180);
    const Outcome sent{ended && peer.status() == 0 && peer_dir.read("send.bin") == content, loop.monotonic() - start};

    // sz to Quillon.
    std::filesystem::create_directory(quillon.dir.file("in"));
    quillon.dialogs.input_answers.push_back(quillon.dir.file("in"));
    start = loop.monotonic();
    peer.run({"sz", "-b", "send.bin"}, peer_dir.path());
    ended = testing::wait_for(
        loop, [&] { return peer.status() && !protocols.running() && quillon.dir.exists("in/send.bin"); }, 180);
    const Outcome received{ended && peer.status() == 0 && quillon.dir.read("in/send.bin") == content,
                           loop.monotonic() - start};

    std::printf("ZMODEM, 200 KB of random bytes over quillon-linesim at 56000 bit/s, 40 ms one way, real time;\n"
                "claim: Quillon each way at %.2f or more of the line's %.0f bytes/s and %.2f or more of sz to rz\n",
                min_of_line, line_bytes_per_second, min_of_lrzsz);
    std::printf("  sz to rz:        %s, %.2f s, %.0f bytes/s\n", alone.whole ? "identical" : "FAILED", alone.seconds,
                alone.rate());
    bool met = alone.whole;
    for (auto [name, o] : {std::pair{"Quillon to rz:  ", sent}, std::pair{"sz to Quillon:  ", received}}) {
        const double of_line = o.rate() / line_bytes_per_second, of_lrzsz = alone.whole ? o.rate() / alone.rate() : 0;
        const bool ok = o.whole && of_line >= min_of_line && of_lrzsz >= min_of_lrzsz;
        met = met && ok;
        std::printf("  %s %s, %.2f s, %.0f bytes/s: %.3f of the line, %.3f of sz to rz%s\n", name,
                    o.whole ? "identical" : "FAILED", o.seconds, o.rate(), of_line, of_lrzsz,
                    ok ? "" : "  <- CLAIM MISSED");
    }
    std::printf("%s\n", met ? "claims met" : "claims MISSED");
    return met ? 0 : 1;
}

} // namespace

int main() { return quillon::bench::unless_a_program_ends(run); }
