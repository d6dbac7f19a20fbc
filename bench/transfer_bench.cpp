// SPDX-License-Identifier: GPL-3.0-or-later
// File transfers between two program cores over the simulated exchange:
// how close the block protocol comes to what a stop-and-wait exchange can
// do on the line, and what a transfer costs with no line limit at all.
// Exits 1 when a claim it prints is missed or a file arrives different.
#include "sample_files.h"
#include "support/two_programs.h"
#include "stop_and_wait.h"
#include "transfer_clock.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

using quillon::testing::TwoPrograms;

namespace {

constexpr std::size_t megabyte = 1 << 20;

struct Outcome {
    bool identical = false;
    double sender_seconds = 0;       // to the sender's finishing step
    double last_request_seconds = 0; // to the receiver's last request
    double wall_seconds = 0;
};

Outcome transfer(quillon::sim::Exchange::Config config, std::size_t size, bool binary) {
    TwoPrograms t(config);
    // The harness's own record of the line is no part of the program's memory.
    t.a.record_writes = t.b.record_writes = false;
    quillon::bench::TransferClock clock{[&t] { return t.time.now(); }};
    clock.watch_sender(t.a.f.dialogs);
    auto open_b = t.b.f.opener;
    t.b.f.opener = [&](const std::string& device) { return clock.watch_receiver(open_b(device)); };
    Outcome outcome;
    if (!t.start() || !t.call()) return outcome;
    std::string source = t.a.f.dir.file("source.bin"), target = t.b.f.dir.file("target.bin");
    quillon::bench::write_sample_file(source, size, !binary);
    t.a.f.dialogs.open_answers.push_back(source);
    t.b.f.dialogs.save_answers.push_back(target);
    (binary ? t.a.w().filemodebinary : t.a.w().filemodetext).choose();
    auto wall_start = std::chrono::steady_clock::now();
    clock.start();
    t.a.w().cmdsend.click();
    if (!t.run_until([&] { return clock.sender_finished >= 0; }, 1e7)) return outcome;
    t.run_until([&] { return !binary || t.b.f.dialogs.showed("Conversion complete!"); }, 1e7);
    outcome.wall_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
    outcome.sender_seconds = clock.sender_finished - clock.started;
    outcome.last_request_seconds = clock.last_request - clock.started;
    outcome.identical = quillon::bench::same_files(source, target);
    return outcome;
}

long peak_rss_kb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    constexpr double min_efficiency = 0.999, max_growth_kb = 64 * 1024;
    bool met = true;
    std::printf("Efficiency at 56000 bit/s, 40 ms one way, in virtual time: the stop-and-wait bound over the time\n"
                "to the sender's finishing step and to the receiver's last request; claim: both %.3f or more\n",
                min_efficiency);
    for (bool binary : {true, false}) {
        quillon::sim::Exchange::Config line;
        Outcome o = transfer(line, megabyte, binary);
        auto bound = quillon::bench::stop_and_wait_bound(megabyte, binary, "source.bin", line.rate_bps,
                                                         line.latency_seconds);
        double sender = bound.seconds / o.sender_seconds;
        double receiver = (bound.seconds - bound.last_request_seconds) / o.last_request_seconds;
        bool ok = o.identical && sender >= min_efficiency && receiver >= min_efficiency;
        met = met && ok;
        std::printf("  %-6s 1 MB: %s, sender %.2f s (bound %.2f): %.4f, receiver %.2f s: %.4f%s\n",
                    binary ? "binary" : "text", o.identical ? "identical" : "DIFFERENT", o.sender_seconds,
                    bound.seconds, sender, o.last_request_seconds, receiver, ok ? "" : "  <- CLAIM MISSED");
    }

    std::printf("Cost with no line limit; claim: the peak memory grows by less than %.0f MB from 1 MB to the largest\n",
                max_growth_kb / 1024);
    quillon::sim::Exchange::Config unlimited;
    unlimited.rate_bps = 0;
    unlimited.latency_seconds = 0;
    long after_small = 0;
    for (std::size_t size : {megabyte, (quick ? 10 : 100) * megabyte}) {
        for (bool binary : {true, false}) {
            Outcome o = transfer(unlimited, size, binary);
            met = met && o.identical;
            std::printf("  %-6s %3zu MB: %s, %.2f s wall, peak memory so far %ld kB\n", binary ? "binary" : "text",
                        size / megabyte, o.identical ? "identical" : "DIFFERENT", o.wall_seconds, peak_rss_kb());
        }
        if (size == megabyte) after_small = peak_rss_kb();
    }
    bool flat = peak_rss_kb() - after_small < max_growth_kb;
    met = met && flat;
    std::printf("%s\n", met ? "claims met" : "claims MISSED");
    return met ? 0 : 1;
}
