// How fast a binary-form reception's spool turns back into the file.
#include "support/program_fixture.h"

#include <benchmark/benchmark.h>

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

} // namespace

BENCHMARK(reconversion)->Arg(16 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
