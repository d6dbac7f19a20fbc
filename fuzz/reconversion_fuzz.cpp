// SPDX-License-Identifier: GPL-3.0-or-later
// Any spool converts to one byte per digit pair, and hex_value never
// gives a value outside a byte.
#include "memory_temp.h"
#include "memory_address_store.h"
#include "support/program_fixture.h"
#include "base/hex_codec.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string spool(reinterpret_cast<const char*>(data), size);
    for (std::size_t i = 0; i < size; i += 2) {
        int v = quillon::hex_value(std::string_view(spool).substr(i, 2), [] {});
        if (v < 0 || v > 255) std::abort();
    }

    static bool in_memory = use_memory_temp();
    static quillon::testing::ProgramFixture f;
    (void)in_memory;
    static bool started = [] {
        f.make_store = quillon::testing::make_memory_address_store;
        f.write_ini("PORTNO.=1\nDIALMODE=tone");
        f.port(1);
        return f.start();
    }();
    if (!started) std::abort();
    f.dialogs.shown.clear();
    f.port(1).written.clear();
    f.dir.write("vlorn.cmp", spool);
    f.p().transfer.reconvert_file(f.dir.file("out.bin"));
    std::ifstream out(f.dir.file("out.bin"), std::ios::binary | std::ios::ate);
    if (static_cast<std::size_t>(out.tellg()) != (size + 1) / 2) std::abort();
    if (!f.dialogs.showed("Conversion complete!")) std::abort();
    return 0;
}
