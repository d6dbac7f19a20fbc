// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "addressbook/sqlite_address_store.h"
#include "app/program.h"
#include "base/poll_event_loop.h"
#include "base/program_end.h"
#include "line_simulator.h"
#include "support/child_process.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <cstdio>
#include <memory>
#include <regex>
#include <string>

namespace quillon::bench {

// One copy of the program without windows, its port 1 on a simulator port.
struct Side {
    Side(PollEventLoop &loop, int port, LineOpener opener) {
        dir.write("quillon.ini", "[Quillon]\nPORTNO.=1\nDIALMODE=tone\n[Ports]\nCOMM1=rfc2217://127.0.0.1:" +
                                     std::to_string(port) + "\n");
        program = std::make_unique<Program>(
            Platform{loop, dialogs, media, std::move(opener), make_sqlite_address_store,
                     FileLocations::portable(dir.path()), /*first_run_devices=*/""});
    }
    SharedState &s() { return program->state; }
    MainForm &w() { return program->frmmain; }

    testing::TempDir dir;
    testing::ScriptedDialogs dialogs;
    testing::FakeMedia media;
    std::unique_ptr<Program> program;
};

// The real line simulator at 56 kbit/s, 40 ms one way.
struct Simulator : LineSimulator {
    Simulator() : LineSimulator({"--rate", "56000", "--latency-ms", "40"}) {}
};

// A benchmark's exit status; 1 when a program ended under it.
template <typename Run> int unless_a_program_ends(Run run) {
    try {
        return run();
    } catch (const ProgramEnd &) {
        std::printf("a program ended\n");
        return 1;
    }
}

} // namespace quillon::bench
