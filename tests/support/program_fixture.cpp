// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/program_fixture.h"

#include "addressbook/sqlite_address_store.h"
#include "base/program_end.h"

namespace quillon::testing {

ProgramFixture::ProgramFixture(VirtualTime* shared_time, double start_time_of_day)
    : own_time_(shared_time ? nullptr : std::make_unique<VirtualTime>()),
      time(shared_time ? *shared_time : *own_time_),
      loop(std::make_unique<VirtualEventLoop>(time, start_time_of_day)), opener(devices.opener()),
      make_store(make_sqlite_address_store) {}

ProgramFixture::~ProgramFixture() {
    program.reset();
    loop.reset();
}

void ProgramFixture::write_ini(const std::string& quillon_lines) {
    dir.write("quillon.ini", "[Quillon]\n" + quillon_lines +
                                 "\n[Ports]\nCOMM1=fake:1\nCOMM2=fake:2\nCOMM3=fake:3\nCOMM4=fake:4\n");
}

Program& ProgramFixture::create() {
    if (!program) {
        program = std::make_unique<Program>(
            Platform{*loop, dialogs, media, opener, make_store, files, first_run_devices});
    }
    return *program;
}

bool ProgramFixture::run(const std::function<void()>& action) {
    if (ended) return false;
    try {
        action();
    } catch (const ProgramEnd&) {
        ended = true;
        loop->shut_down();
    }
    return !ended && !loop->ended();
}

bool ProgramFixture::start() {
    create();
    return run([this] { program->main_window.Form_Load(); });
}

void ProgramFixture::dial(const std::string& digits) {
    for (char d : digits) p().frmmain.Cmddialn[d - '0'].click();
    p().frmmain.cmddial.click();
}

bool ProgramFixture::start_on_port1(const std::string& quillon_lines) {
    write_ini(quillon_lines);
    port(1);
    return start();
}

void ProgramFixture::run_for(double seconds) { time.run_for(seconds); }

} // namespace quillon::testing
