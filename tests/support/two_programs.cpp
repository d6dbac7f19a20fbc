// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/two_programs.h"

#include "sim/sim_modem_line.h"
#include "support/forwarding_line.h"

namespace quillon::testing {

namespace {
// The line to the modem, keeping a copy of what the program writes.
class RecordedLine : public ForwardingLine {
public:
    RecordedLine(std::unique_ptr<Line> line, Station& station)
        : ForwardingLine(*line), line_(std::move(line)), station_(station) {}
    void write(std::string_view bytes) override {
        station_.to_modem += bytes;
        if (station_.on_write) station_.on_write(bytes);
        ForwardingLine::write(bytes);
    }

private:
    std::unique_ptr<Line> line_;
    Station& station_;
};
} // namespace

Station::Station(VirtualTime& time, sim::Exchange& exchange, const std::string& number_, double start_time_of_day)
    : number(number_), modem(exchange, number_), f(&time, start_time_of_day) {
    f.opener = [this](const std::string& device) -> std::unique_ptr<Line> {
        if (device != "sim:" + number) throw LineError(device + " does not exist");
        return std::make_unique<RecordedLine>(std::make_unique<sim::SimModemLine>(modem), *this);
    };
    f.dir.write("quillon.ini", "[Quillon]\nPORTNO.=1\nDIALMODE=tone\n[Ports]\nCOMM1=sim:" + number + "\n");
}

void Station::dial(const std::string& digits) { f.dial(digits); }

void Station::offer_file(const std::string& name, const std::string& content, const std::string& form) {
    f.dir.write(name, content);
    f.dialogs.open_answers.push_back(f.dir.file(name));
    (form == "binary" ? w().filemodebinary : w().filemodetext).choose();
}

void Station::accept_file(const std::string& name, bool go_offline) {
    f.dialogs.save_answers.push_back(f.dir.file(name));
    f.dialogs.yes_no_answers.push_back(go_offline);
}

TwoPrograms::TwoPrograms(sim::Exchange::Config config)
    : exchange(clock, config), a(time, exchange, "5551001", 10 * 3600.0), b(time, exchange, "5551002", 15 * 3600.0) {}

bool TwoPrograms::start() {
    if (!a.f.start() || !b.f.start()) return false;
    return run_until([this] { return a.s().modem_init_state == 2 && b.s().modem_init_state == 2; }, 10);
}

bool TwoPrograms::call() {
    a.dial(b.number);
    return run_until([this] { return both_connected(); }, 60);
}

bool TwoPrograms::dial_busy_line() {
    exchange.set_busy(b.number, true);
    a.dial(b.number);
    bool shown = run_until([this] { return a.w().txtreceived.text() == "Line BUSY..."; }, 10);
    exchange.set_busy(b.number, false);
    return shown;
}

void TwoPrograms::start_sending(const std::string& content, const std::string& form) {
    a.offer_file("photo.bmp", content, form);
    b.accept_file("received.bmp");
    a.w().cmdsend.click();
}

bool TwoPrograms::send(const std::string& content, const std::string& form, double max_seconds) {
    start_sending(content, form);
    return run_until(
        [&] {
            bool stored = form == "binary" ? b.f.dialogs.showed("Conversion complete!")
                                           : b.s().recv_block == 1 && b.s().current_mode == OperatingMode::chat;
            return stored && a.s().send_block == -50;
        },
        max_seconds);
}

bool TwoPrograms::call_again() {
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

void TwoPrograms::chat(Station& from, const std::string& text) {
    from.w().txtsend.user_edit(text, 0);
    from.w().cmdsend.click();
    run_for(1);
}

bool TwoPrograms::run_until(const std::function<bool()>& done, double max_seconds) {
    return time.run_until(done, max_seconds);
}

} // namespace quillon::testing
