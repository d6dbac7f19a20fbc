// SPDX-License-Identifier: GPL-3.0-or-later
// On demand: a hundred transfers in a row between two program cores, of
// random sizes and forms, each checked byte for byte, with memory and open
// file descriptors printed as they go. Claims: every file arrives
// identical, and after the last round the resident memory is within 4 MB
// of what it was after the first and as many descriptors are open; exits 1
// when a claim fails.
#include "support/two_programs.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>

namespace {

long resident_kb() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int open_descriptors() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d)) ++n;
        closedir(d);
    }
    return n;
}

} // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::atoi(argv[1]) : 100;
    quillon::sim::Exchange::Config line;
    line.rate_bps = 0; // the protocol, not the line, is under test here
    line.latency_seconds = 0.001;
    quillon::testing::TwoPrograms t(line);
    // The harness's own record of the line is no part of the program's memory.
    t.a.record_writes = t.b.record_writes = false;
    if (!t.start() || !t.call()) return 1;
    std::mt19937 rng(2026);
    constexpr long margin_kb = 4 * 1024;
    int failures = 0;
    long first_kb = 0;
    int first_descriptors = 0;
    for (int i = 1; i <= rounds; ++i) {
        std::size_t size = rng() % (300 * 1024);
        bool binary = rng() % 2 == 0;
        std::string content(size, '\0');
        for (char& c : content) c = binary ? static_cast<char>(rng()) : static_cast<char>('a' + rng() % 26);
        t.a.f.dir.write("out.bin", content);
        t.a.f.dialogs.open_answers.push_back(t.a.f.dir.file("out.bin"));
        t.b.f.dialogs.save_answers.push_back(t.b.f.dir.file("in.bin"));
        t.b.f.dialogs.shown.clear();
        (binary ? t.a.w().filemodebinary : t.a.w().filemodetext).choose();
        t.a.w().cmdsend.click();
        bool done = t.run_until(
            [&] {
                bool received = binary ? t.b.f.dialogs.showed("Conversion complete!") : t.b.s().recv_block == 1;
                return t.a.s().send_block == -50 && received;
            },
            3600);
        bool identical = done && t.b.f.dir.read("in.bin") == content;
        if (!identical) ++failures;
        if (i == 1) {
            first_kb = resident_kb();
            first_descriptors = open_descriptors();
        }
        if (i == 1 || i % 10 == 0 || !identical)
            std::printf("%3d: %6zu bytes %-6s %s  resident %ld kB, %d descriptors open\n", i, size,
                        binary ? "binary" : "text", identical ? "identical" : "DIFFERENT", resident_kb(),
                        open_descriptors());
        t.a.f.dialogs.shown.clear();
    }
    long grown_kb = resident_kb() - first_kb;
    int more_descriptors = open_descriptors() - first_descriptors;
    bool met = failures == 0 && grown_kb <= margin_kb && more_descriptors == 0;
    std::printf("%d of %d transfers identical; since the first round: resident memory %+ld kB (claim: at most "
                "%ld), descriptors %+d (claim: 0): %s\n",
                rounds - failures, rounds, grown_kb, margin_kb, more_descriptors, met ? "claims met" : "claims MISSED");
    return met ? 0 : 1;
}
