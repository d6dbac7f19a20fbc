// SPDX-License-Identifier: GPL-3.0-or-later
// How fast a binary-form reception's spool turns back into the file.
// Claim: at least 20 MB of spool a second (the line brings 5.6 kB a
// second), so a reception never waits long for its file; exits 1 when missed.
#include "support/program_fixture.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void reconversion(benchmark::State& state) {
    quillon::testing::ProgramFixture f;
    f.write_ini("PORTNO.=1\nDIALMODE=tone");
    f.port(1);
    if (!f.start()) {
        state.SkipWithError("the program did not start");
        return;
    }
    auto spool_bytes = static_cast<std::size_t>(state.range(0));
    std::string spool;
    spool.reserve(spool_bytes);
    const char* digits = "0123456789ABCDEF";
    for (std::size_t i = 0; i < spool_bytes; ++i) spool.push_back(digits[(i * 7) % 16]);
    for (auto _ : state) {
        state.PauseTiming();
        f.dir.write("vlorn.cmp", spool);
        f.port(1).written.clear();
        f.dialogs.shown.clear();
        state.ResumeTiming();
        f.p().transfer.reconvert_file(f.dir.file("out.bin"));
    }
    if (!f.dialogs.showed("Conversion complete!")) state.SkipWithError("the conversion did not complete");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(spool_bytes));
}

// Prints as usual and keeps the slowest rate printed; a run that failed
// counts as no speed at all.
class ClaimReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto rate = run.counters.find("bytes_per_second");
            slowest = std::min(slowest, rate != run.counters.end() ? rate->second.value : 0.0);
        }
    }
    double slowest = 1e300;
};

} // namespace

BENCHMARK(reconversion)->Arg(16 << 20)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    constexpr double min_rate = 20e6;
    benchmark::Initialize(&argc, argv);
    ClaimReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    bool met = reporter.slowest >= min_rate;
    std::printf("claim: at least %.0f MB of spool a second: %.0f MB/s, %s\n", min_rate / 1e6, reporter.slowest / 1e6,
                met ? "claim met" : "claim MISSED");
    return met ? 0 : 1;
}
