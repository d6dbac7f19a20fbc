// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/exchange.h"
#include "sim/hayes_modem.h"
#include "sim/virtual_clock.h"
#include "support/program_fixture.h"

#include <functional>
#include <string>

namespace quillon::testing {

// One copy of the program with an emulated modem on its port 1.
class Station {
public:
    Station(VirtualTime& time, sim::Exchange& exchange, const std::string& number, double start_time_of_day);

    Program& p() { return f.p(); }
    MainForm& w() { return f.p().frmmain; }
    SharedState& s() { return f.p().state; }
    // Presses the keypad keys of a number and the dial button.
    void dial(const std::string& number);
    // Writes a file into the program directory and chooses it for Send in
    // the given form ("binary" or "text"); Send is still to be pressed.
    void offer_file(const std::string& name, const std::string& content, const std::string& form);
    // Answers the next reception's save dialog with a file of the program
    // directory, and its going-offline question.
    void accept_file(const std::string& name, bool go_offline = false);

    const std::string number;
    sim::HayesModem modem;
    // Everything the program wrote to its modem.
    std::string to_modem;
    // Told of each write to the modem as it goes.
    std::function<void(std::string_view bytes)> on_write;
    ProgramFixture f;
};

// Two program cores and their modems on one exchange, in virtual time:
// 5551001 (a) and 5551002 (b).
class TwoPrograms {
public:
    explicit TwoPrograms(sim::Exchange::Config config = {});

    // Both start-ups; true when both modems are ready.
    bool start();
    // a calls b and b's program answers; true when both are connected.
    bool call();
    // a dials b while b's line is busy; true when a's box says so. The
    // line is free again afterwards.
    bool dial_busy_line();
    // a offers content as photo.bmp in form ("binary" or "text"), b's save
    // dialog is to answer received.bmp, and a presses Send.
    void start_sending(const std::string& content, const std::string& form);
    // The same, run until b has stored the file and a has finished its
    // sending; true when both did.
    bool send(const std::string& content, const std::string& form, double max_seconds = 3600);
    std::string received() { return b.f.dir.read("received.bmp"); }
    // The users hang up (the caller first) and, both idle, call again with
    // every unused dialog answer and every box shown forgotten; true when
    // the new call is up.
    bool call_again();
    // Sends a chat message from one side and lets a second pass.
    void chat(Station& from, const std::string& text);
    bool run_until(const std::function<bool()>& done, double max_seconds);
    void run_for(double seconds) { time.run_for(seconds); }
    bool both_connected() { return a.s().connected == 1 && b.s().connected == 1; }

    VirtualTime time;
    sim::VirtualClock clock{time};
    sim::Exchange exchange;
    Station a;
    Station b;
};

} // namespace quillon::testing
