// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/exchange.h"
#include "sim/hayes_modem.h"
#include "sim/sim_modem_line.h"
#include "sim/virtual_clock.h"
#include "support/forwarding_line.h"
#include "support/program_fixture.h"

#include <functional>
#include <string>

namespace quillon::testing {

// One copy of the program with an emulated modem on its port 1.
class Station {
public:
    Station(VirtualTime& time, sim::Exchange& exchange, const std::string& number_, double start_time_of_day)
        : number(number_), modem(exchange, number_), f(&time, start_time_of_day) {
        f.opener = [this](const std::string& device) -> std::unique_ptr<Line> {
            if (device != "sim:" + number) throw LineError(device + " does not exist");
            return std::make_unique<RecordedLine>(std::make_unique<sim::SimModemLine>(modem), *this);
        };
        f.dir.write("quillon.ini", "[Quillon]\nPORTNO.=1\nDIALMODE=tone\n[Ports]\nCOMM1=sim:" + number + "\n");
    }

    Program& p() { return f.p(); }
    MainForm& w() { return f.p().frmmain; }
    SharedState& s() { return f.p().state; }
    // Presses the keypad keys of a number and the dial button.
    void dial(const std::string& digits) { f.dial(digits); }
    // Writes a file into the program directory and chooses it for Send in
    // the given form ("binary" or "text"); Send is still to be pressed.
    void offer_file(const std::string& name, const std::string& content, const std::string& form) {
        f.dir.write(name, content);
        f.dialogs.open_answers.push_back(f.dir.file(name));
        (form == "binary" ? w().filemodebinary : w().filemodetext).choose();
    }
    // Answers the next reception's save dialog with a file of the program
    // directory, and its going-offline question.
    void accept_file(const std::string& name, bool go_offline = false) {
        f.dialogs.save_answers.push_back(f.dir.file(name));
        f.dialogs.yes_no_answers.push_back(go_offline);
    }

    const std::string number;
    sim::HayesModem modem;
    // Everything the program wrote to its modem, while record_writes.
    std::string to_modem;
    bool record_writes = true;
    // Told of each write to the modem as it goes.
    std::function<void(std::string_view bytes)> on_write;
    ProgramFixture f;

private:
    // The line to the modem, keeping a copy of what the program writes.
    class RecordedLine : public ForwardingLine {
    public:
        RecordedLine(std::unique_ptr<Line> line, Station& station)
            : ForwardingLine(*line), line_(std::move(line)), station_(station) {}
        void write(std::string_view bytes) override {
            if (station_.record_writes) station_.to_modem += bytes;
            if (station_.on_write) station_.on_write(bytes);
            ForwardingLine::write(bytes);
        }

    private:
        std::unique_ptr<Line> line_;
        Station& station_;
    };
};

// Two program cores and their modems on one exchange, in virtual time:
// 5551001 (a) and 5551002 (b).
class TwoPrograms {
public:
    explicit TwoPrograms(sim::Exchange::Config config = {})
        : exchange(clock, config), a(time, exchange, "5551001", 10 * 3600.0), b(time, exchange, "5551002", 15 * 3600.0) {}

    // Both start-ups; true when both modems are ready.
    bool start() {
        if (!a.f.start() || !b.f.start()) return false;
        return run_until([this] { return a.s().modem_init_state == 2 && b.s().modem_init_state == 2; }, 10);
    }
    // a calls b and b's program answers; true when both are connected.
    bool call() {
        a.dial(b.number);
        return run_until([this] { return both_connected(); }, 60);
    }
    // a dials b while b's line is busy; true when a's box says so. The
    // line is free again afterwards.
    bool dial_busy_line() {
        exchange.set_busy(b.number, true);
        a.dial(b.number);
        bool shown = run_until([this] { return a.w().txtreceived.text() == "Line BUSY..."; }, 10);
        exchange.set_busy(b.number, false);
        return shown;
    }
    // a offers content as photo.bmp in form ("binary" or "text"), b's save
    // dialog is to answer received.bmp, and a presses Send.
    void start_sending(const std::string& content, const std::string& form) {
        a.offer_file("photo.bmp", content, form);
        b.accept_file("received.bmp");
        a.w().cmdsend.click();
    }
    // The same, run until b has stored the file and a has finished its
    // sending; true when both did.
    bool send(const std::string& content, const std::string& form, double max_seconds = 3600) {
        start_sending(content, form);
        return run_until(
            [&] {
                bool stored = form == "binary" ? b.f.dialogs.showed("Conversion complete!")
                                               : b.s().recv_block == 1 && b.s().current_mode == OperatingMode::chat;
                return stored && a.s().send_block == -50;
            },
            max_seconds);
    }
    std::string received() { return b.f.dir.read("received.bmp"); }
    // The users hang up (the caller first) and, both idle, call again with
    // every unused dialog answer and every box shown forgotten; true when
    // the new call is up.
    bool call_again() {
        if (a.s().connected == 1) a.w().cmdcan.click();
        if (!run_until([this] { return a.s().connected == 0 && b.s().connected == 0; }, 30)) return false;
        run_for(6);
        for (Station* s : {&a, &b}) {
            ScriptedDialogs& d = s->f.dialogs;
            d.save_answers.clear();
            d.open_answers.clear();
            d.yes_no_answers.clear();
            d.shown.clear();
        }
        return call();
    }
    // Sends a chat message from one side and lets a second pass.
    void chat(Station& from, const std::string& text) {
        from.w().txtsend.user_edit(text, 0);
        from.w().cmdsend.click();
        run_for(1);
    }
    bool run_until(const std::function<bool()>& done, double max_seconds) { return time.run_until(done, max_seconds); }
    void run_for(double seconds) { time.run_for(seconds); }
    bool both_connected() { return a.s().connected == 1 && b.s().connected == 1; }

    VirtualTime time;
    sim::VirtualClock clock{time};
    sim::Exchange exchange;
    Station a;
    Station b;
};

} // namespace quillon::testing
