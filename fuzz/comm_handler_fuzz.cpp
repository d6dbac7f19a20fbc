// SPDX-License-Identifier: GPL-3.0-or-later
// Whatever a peer or a modem sends, in any state of a call or a transfer,
// the program keeps running and keeps its files inside its folder.
#include "memory_temp.h"
#include "memory_address_store.h"
#include "support/program_fixture.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using quillon::testing::ProgramFixture;

namespace {

// One program for the whole run, started once, its folder in memory and its
// address book too; between inputs the call ends as a lost carrier ends it.
ProgramFixture& program() {
    static bool in_memory = use_memory_temp();
    static ProgramFixture f;
    static bool started = [] {
        f.make_store = quillon::testing::make_memory_address_store;
        // No session log: it would write a file per input.
        f.write_ini("PORTNO.=1\nDIALMODE=tone\nSESSIONLOG=off");
        // Three blocks: a first, a middle and a short last one.
        f.dir.write("send.bin", std::string(2500, 'x'));
        f.port(1);
        return f.start();
    }();
    if (!in_memory || !started) std::abort();
    return f;
}

void back_to_idle(ProgramFixture& f) {
    f.port(1).lines = {false, true, false};
    // A tick of Timer1 now, rather than waiting up to 5 s for it: its
    // carrier check ends the call and any transfer.
    if (!f.run([&f] { f.p().Timer1.on_tick(); })) std::abort();
    f.run_for(0.001);
    if (f.p().state.connected != 0) std::abort();
    f.p().comm_handler.empty_line_buffer();
    f.p().state.rx_buffer.clear();
    f.p().transfer.mnumodechat_Click();
    f.port(1).written.clear();
    // Emptied in place and topped up, so that the reset itself allocates
    // next to nothing.
    quillon::testing::ScriptedDialogs& d = f.dialogs;
    d.shown.clear();
    d.input_answers.clear();
    d.yes_no_answers.clear();
    d.open_answers.clear();
    static const std::string saved = f.dir.file("saved.bin");
    while (d.save_answers.size() < 8) d.save_answers.push_back(saved);
}

enum class Start { idle, chatting, receiving, sending };

void connect(ProgramFixture& f) {
    f.port(1).lines.dcd = true;
    f.port(1).arrive("\r\nCONNECT 56000\r\n");
    // The connect line is shown for two seconds before the call counts.
    f.time.run_until([&f] { return f.p().state.connected == 1; }, 3);
}

// Brings the program to the given step of a transfer with well-formed frames.
void prepare(ProgramFixture& f, Start start, int steps) {
    if (start == Start::idle) return;
    connect(f);
    if (start == Start::receiving) {
        const char* frames[] = {"", "4096", "name.bin", "binary", "00FF"};
        for (int i = 0; i < steps && i < 5; ++i) {
            f.port(1).arrive(std::string(frames[i]) + "^%847%^");
            f.run_for(0.05);
        }
    } else if (start == Start::sending) {
        f.dialogs.open_answers.push_back(f.dir.file("send.bin"));
        f.p().frmmain.filemodebinary.choose();
        f.p().frmmain.cmdsend.click();
        for (int i = 0; i < steps; ++i) {
            f.port(1).arrive("^%1694%^");
            f.run_for(0.05);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    ProgramFixture& f = program();
    back_to_idle(f);
    prepare(f, static_cast<Start>(data[0] % 4), data[1] % 8);

    // The rest arrives in pieces whose sizes the input chooses, quickly; in
    // one input of eight the first pieces a second apart, so that the
    // carrier check and the status clock also tick in the middle of a call
    // or a transfer (eight seconds see both; more would only cost time).
    int slow_pieces = (data[1] >> 3) % 8 == 7 ? 8 : 0;
    std::size_t at = 2;
    quillon::testing::FakeLine& line = f.port(1);
    while (at < size && !f.loop->ended()) {
        std::size_t piece = 1 + data[at++] % 64;
        if (at + piece > size) piece = size - at;
        line.arrive(std::string(reinterpret_cast<const char*>(data + at), piece));
        at += piece;
        f.run_for(slow_pieces-- > 0 ? 1.0 : 0.05);
    }
    if (f.ended || f.loop->ended()) std::abort(); // nothing on the line may end the program
    return 0;
}
