// SPDX-License-Identifier: GPL-3.0-or-later
// Two program cores on the poll event loop, each on a network serial port
// of the real line simulator (56000 bit/s, 40 ms one way, on 127.0.0.1),
// call each other and send 200 KB in each form, in real time. Prints the
// stop-and-wait bound over the time to the sender's finishing step and to
// the receiver's last request; claim: both 0.98 or more in each form, the
// files identical. Exits 1 when a claim fails; about three minutes.
#include "base/poll_event_loop.h"
#include "app/program.h"
#include "modem/device_opener.h"
#include "linesim_sides.h"
#include "stop_and_wait.h"
#include "support/line_recorder.h"
#include "support/random_content.h"
#include "transfer_clock.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

using namespace quillon;

using bench::Side;

constexpr double rate = 56000, latency = 0.040, min_efficiency = 0.98;
constexpr std::size_t size = 200 * 1024;

bool send_one(PollEventLoop &loop, Side &a, Side &b, bench::TransferClock &clock, bool binary) {
    std::string source = a.dir.file("source.bin"), target = b.dir.file("target.bin");
    std::string content = binary ? testing::random_bytes(size, 7) : testing::random_text(size, 7);
    a.dir.write("source.bin", content);
    a.dialogs.open_answers.push_back(source);
    b.dialogs.save_answers.push_back(target);
    (binary ? a.w().filemodebinary : a.w().filemodetext).choose();
    clock.start();
    a.w().cmdsend.click();
    bool finished = testing::wait_for(
                        loop, [&] { return clock.sender_finished >= 0; }, 600) &&
                    testing::wait_for(
                        loop, [&] { return !binary || b.dialogs.showed("Conversion complete!"); }, 60);
    bool identical = finished && b.dir.read("target.bin") == content;
    auto bound = bench::stop_and_wait_bound(size, binary, "source.bin", rate, latency);
    double sender = finished ? bound.seconds / (clock.sender_finished - clock.started) : 0;
    double receiver =
        finished ? (bound.seconds - bound.last_request_seconds) / (clock.last_request - clock.started) : 0;
    bool ok = identical && sender >= min_efficiency && receiver >= min_efficiency;
    std::printf("  %-6s 200 KB: %s, sender %.2f s (bound %.2f): %.4f, receiver %.2f s: %.4f%s\n",
                binary ? "binary" : "text", identical ? "identical" : "DIFFERENT",
                clock.sender_finished - clock.started, bound.seconds, sender, clock.last_request - clock.started,
                receiver, ok ? "" : "  <- CLAIM MISSED");
    return ok;
}

int run() {
    bench::LineSimulator sim({"--rate", "56000", "--latency-ms", "40"});
    if (!sim.a || !sim.b) {
        std::printf("the line simulator did not start\n");
        return 1;
    }
    PollEventLoop loop;
    bench::TransferClock clock{[&loop] { return loop.monotonic(); }};
    LineOpener devices = make_device_opener(loop);
    Side a(loop, sim.a, devices);
    Side b(loop, sim.b, [&](const std::string &device) { return clock.watch_receiver(devices(device)); });
    clock.watch_sender(a.dialogs);
    a.program->main_window.Form_Load();
    b.program->main_window.Form_Load();
    if (!testing::wait_for(
            loop, [&] { return a.w().Cmddialn[5].enabled() && b.s().modem_init_state == 2; }, 20)) {
        std::printf("the modems did not get ready\n");
        return 1;
    }
    for (char d : std::string("5551002"))
        a.w().Cmddialn[d - '0'].click();
    a.w().cmddial.click();
    if (!testing::wait_for(
            loop, [&] { return a.s().connected == 1 && b.s().connected == 1; }, 60)) {
        std::printf("the call did not connect\n");
        return 1;
    }
    std::printf("200 KB each form between two programs over quillon-linesim at 56000 bit/s, 40 ms one way, in real\n"
                "time: the stop-and-wait bound over the time to the sender's finishing step and to the receiver's\n"
                "last request; claim: both %.2f or more\n",
                min_efficiency);
    bool met = true;
    for (bool binary : {true, false})
        met = send_one(loop, a, b, clock, binary) && met;
    std::printf("%s\n", met ? "claims met" : "claims MISSED");
    return met ? 0 : 1;
}

} // namespace

int main() { return quillon::bench::unless_a_program_ends(run); }
