// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/linesim_options.h"

#include <charconv>
#include <set>
#include <stdexcept>

namespace quillon::sim {

const char* const linesim_usage =
    "Usage: quillon-linesim --modem NUMBER@PORT [--modem NUMBER@PORT ...] [options]\n"
    "\n"
    "Simulates Hayes modems on a telephone exchange. Each modem is served as an\n"
    "RFC 2217 network serial port on 127.0.0.1:PORT; point a Quillon port at it\n"
    "with COMMn=rfc2217://127.0.0.1:PORT in the [Ports] section of quillon.ini.\n"
    "\n"
    "Options:\n"
    "  --modem NUMBER@PORT  a modem with telephone number NUMBER (digits) on PORT\n"
    "  --rate BPS           line rate in bit/s, 10 bits a character (default 56000;\n"
    "                       0 for no limit)\n"
    "  --latency-ms MS      one-way delay of the line (default 40)\n"
    "  --connect TEXT       the connect result (default \"CONNECT\" and the rate)\n"
    "  --test-line NUMBER   a modem with number NUMBER and an unattended Quillon on\n"
    "                       it, to call without a second modem: it answers, sends\n"
    "                       each chat message back, takes any file and says in\n"
    "                       chat its size and SHA-256\n"
    "  --transcript FILE    write every byte each way, with times, to FILE\n"
    "  --control PORT       accept control commands on 127.0.0.1:PORT, one per\n"
    "                       line: list, drop NUMBER, noise NUMBER RATE,\n"
    "                       busy|unplug|power|answer NUMBER on|off\n"
    "  --help               show this text\n"
    "  --version            show the version\n";

namespace {

double number_of(const std::string& option, const std::string& text) {
    double v = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || v < 0)
        throw std::invalid_argument(option + " needs a number of 0 or more, not \"" + text + "\"");
    return v;
}

int port_of(const std::string& option, const std::string& text) {
    int v = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || v < 0 || v > 65535)
        throw std::invalid_argument(option + " needs a TCP port from 0 to 65535, not \"" + text + "\"");
    return v;
}

} // namespace

LinesimOptions parse_linesim_options(const std::vector<std::string>& args) {
    LinesimOptions o;
    std::set<std::string> numbers;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
            return o;
        }
        if (a == "--version") {
            o.version = true;
            return o;
        }
        if (a.rfind("--", 0) != 0) throw std::invalid_argument("unexpected argument \"" + a + "\"");
        if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
        const std::string& v = args[++i];
        if (a == "--modem") {
            std::size_t at = v.find('@');
            std::string number = v.substr(0, at);
            if (at == std::string::npos || number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
                throw std::invalid_argument("--modem needs NUMBER@PORT with a number of digits, not \"" + v + "\"");
            if (!numbers.insert(number).second) throw std::invalid_argument("number " + number + " given twice");
            o.modems.push_back({number, port_of("--modem", v.substr(at + 1))});
        } else if (a == "--test-line") {
            if (v.empty() || v.find_first_not_of("0123456789") != std::string::npos)
                throw std::invalid_argument("--test-line needs a number of digits, not \"" + v + "\"");
            if (!numbers.insert(v).second) throw std::invalid_argument("number " + v + " given twice");
            o.test_lines.push_back(v);
        } else if (a == "--rate") {
            o.rate_bps = number_of(a, v);
        } else if (a == "--latency-ms") {
            o.latency_ms = number_of(a, v);
        } else if (a == "--transcript") {
            o.transcript = v;
        } else if (a == "--control") {
            o.control_port = port_of(a, v);
        } else if (a == "--connect") {
            o.connect_text = v;
        } else {
            throw std::invalid_argument("unknown option " + a);
        }
    }
    if (o.modems.empty() && o.test_lines.empty()) throw std::invalid_argument("no modem given (--modem NUMBER@PORT)");
    return o;
}

} // namespace quillon::sim
