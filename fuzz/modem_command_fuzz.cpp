// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes a computer sends to an emulated modem: nothing crashes or
// hangs, and a power cycle always brings back a modem that answers AT.
#include "sim/exchange.h"
#include "sim/hayes_modem.h"
#include "sim/modem_command.h"
#include "sim/virtual_clock.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
struct Sink : quillon::sim::ModemListener {
    void modem_output(std::string_view bytes) override { out.append(bytes); }
    std::string out;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    quillon::sim::parse_command_line(line);
    quillon::sim::dialled_digits(line);

    quillon::VirtualTime time;
    quillon::sim::VirtualClock clock(time);
    quillon::sim::Exchange exchange(clock, {});
    quillon::sim::HayesModem modem(exchange, "5551001");
    quillon::sim::HayesModem other(exchange, "5551002");
    Sink sink;
    modem.set_listener(&sink);
    modem.set_dtr(true);
    other.set_dtr(true);
    modem.from_computer(line);
    time.run_for(120);
    modem.set_dtr(false);
    modem.set_dtr(true);
    time.run_for(5);
    // Whatever state it was left in, switching it off and on brings it back.
    modem.set_power(false);
    modem.set_power(true);
    sink.out.clear();
    modem.from_computer("AT\r");
    if (sink.out.find("OK") == std::string::npos) std::abort();
    return 0;
}
