// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "addressbook/sqlite_address_store.h"
#include "app/program.h"
#include "base/program_end.h"
#include "sim/virtual_event_loop.h"
#include "support/fake_line.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <functional>
#include <memory>

namespace quillon::testing {

// One program core in virtual time, in its own program directory, with
// scripted dialogs and hand-driven fake devices.
class ProgramFixture {
public:
    // On its own virtual time, or on one shared with other programs.
    explicit ProgramFixture(VirtualTime* shared_time = nullptr, double start_time_of_day = 12 * 3600.0)
        : own_time_(shared_time ? nullptr : std::make_unique<VirtualTime>()),
          time(shared_time ? *shared_time : *own_time_),
          loop(std::make_unique<VirtualEventLoop>(time, start_time_of_day)), opener(devices.opener()),
          make_store(make_sqlite_address_store) {}
    ~ProgramFixture() {
        program.reset();
        loop.reset();
    }

    // Writes quillon.ini with the given [Quillon] lines, and maps every
    // port N to the fake device "fake:N".
    void write_ini(const std::string& quillon_lines) {
        dir.write("quillon.ini", "[Quillon]\n" + quillon_lines +
                                     "\n[Ports]\nCOMM1=fake:1\nCOMM2=fake:2\nCOMM3=fake:3\nCOMM4=fake:4\n");
    }

    Program& create() {
        if (!program)
            program = std::make_unique<Program>(Platform{*loop, dialogs, media, opener, make_store, files, first_run_devices});
        return *program;
    }
    // Creates the program and runs its start-up; false if the program ended.
    bool start() {
        create();
        return run([this] { program->main_window.Form_Load(); });
    }
    // The start-up with the given [Quillon] lines and port 1's fake device plugged in.
    bool start_on_port1(const std::string& quillon_lines = "PORTNO.=1\nDIALMODE=tone") {
        write_ini(quillon_lines);
        port(1);
        return start();
    }
    // Runs an action of the program; false if the program ended in it.
    bool run(const std::function<void()>& action) {
        if (ended) return false;
        try {
            action();
        } catch (const ProgramEnd&) {
            ended = true;
            loop->shut_down();
        }
        return !ended && !loop->ended();
    }
    // Presses the keypad keys of a number and the dial button.
    void dial(const std::string& digits) {
        for (char d : digits) p().frmmain.Cmddialn[d - '0'].click();
        p().frmmain.cmddial.click();
    }
    void run_for(double seconds) { time.run_for(seconds); }

    FakeLine& port(int n) { return devices.plug("fake:" + std::to_string(n)); }
    Program& p() { return *program; }
    MainForm& w() { return p().frmmain; }

    TempDir dir;

private:
    std::unique_ptr<VirtualTime> own_time_;

public:
    VirtualTime& time;
    std::unique_ptr<VirtualEventLoop> loop;
    ScriptedDialogs dialogs;
    FakeMedia media;
    FakeDevices devices;
    // How the program opens a port's device; the fake devices unless replaced.
    LineOpener opener;
    // Everything in the program directory unless replaced.
    FileLocations files = FileLocations::portable(dir.path());
    // Where a first run looks for serial ports; empty: no first run.
    std::string first_run_devices;
    // How the program makes its address book; an SQLite file unless replaced.
    std::function<std::unique_ptr<AddressStore>()> make_store;
    std::unique_ptr<Program> program;
    bool ended = false;
};

} // namespace quillon::testing
