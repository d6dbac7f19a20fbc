// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include "base/text_number.h"

#include <stdexcept>
#include <string_view>

namespace quillon {

namespace {

const char* const usage =
    "Usage: quillon\n"
    "       quillon --dial NUMBER [--send FILE]... [--form FORM] [--port N]\n"
    "       quillon --answer [--receive-into DIR] [--calls N] [--form FORM] [--port N]\n"
    "\n"
    "Chat and send files to another computer through a pair of modems. Without\n"
    "options everything is done in the window; its menu's Help item shows the full\n"
    "help text, and `man quillon` tells where the settings and the address book are\n"
    "kept.\n"
    "\n"
    "With --dial or --answer Quillon runs without a window, with the window's\n"
    "settings, files, session log and call history:\n"
    "  --dial NUMBER        call NUMBER, send each file in turn, hang up\n"
    "  --send FILE          a file to send (repeat for more)\n"
    "  --form FORM          binary or text: our own protocol, to another Quillon\n"
    "                       (default binary); zmodem, ymodem or xmodem: to any\n"
    "                       other modem program (ZMODEM and YMODEM send all the\n"
    "                       files in one session, XMODEM one file a session)\n"
    "  --port N             the port 1 to 4 (default: the settings' port)\n"
    "  --answer             answer calls and save the files they bring\n"
    "  --receive-into DIR   where received files go (default: the download folder)\n"
    "  --calls N            end after N calls (default 1)\n"
    "  --form ymodem|xmodem receive with that protocol, again after each session\n"
    "                       until the call ends; XMODEM carries no name, so its\n"
    "                       files are saved as \"received\", \"received (1)\", ...\n"
    "                       (ZMODEM needs no word: it starts by itself)\n"
    "\n"
    "Exit status: 0 all done, 2 usage or configuration error, 3 the number is\n"
    "busy, 4 no answer, no carrier or no dial tone, 5 the port cannot be opened,\n"
    "6 a transfer failed or the call ended first, 7 Quillon already runs with\n"
    "these files, 128+N ended by signal N (the call is hung up first).\n"
    "\n"
    "To try Quillon without a modem, run two copies against quillon-linesim, the\n"
    "modem simulator (quillon-linesim --help); its test line 5550000 answers,\n"
    "echoes chat and tells the checksum of every file it gets.\n"
    "\n"
    "Options:\n"
    "  --help      show this text\n"
    "  --version   show the version\n";

int whole_number(std::string_view option, const std::string& text, int low, int high) {
    auto n = to_number(text);
    if (!n || *n != static_cast<int>(*n) || *n < low || *n > high)
        throw std::invalid_argument(std::string(option) + " takes a whole number from " + std::to_string(low) +
                                    " to " + std::to_string(high) + ", not \"" + text + "\"");
    return static_cast<int>(*n);
}

UnattendedRequest read_request(const std::vector<std::string>& args) {
    UnattendedRequest r;
    bool dial = false, answer = false, dial_only = false, answer_only = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw std::invalid_argument(a + " needs a value");
            return args[++i];
        };
        if (a == "--dial") {
            dial = true;
            r.dial = value();
            if (r.dial.empty()) throw std::invalid_argument("--dial needs a number");
        } else if (a == "--send") {
            dial_only = true;
            r.send.push_back(value());
        } else if (a == "--form") {
            const std::string word = value();
            r.form = form_of_word(word);
            if (r.form == FileForm::none)
                throw std::invalid_argument("--form is binary, text, zmodem, ymodem or xmodem, not \"" + word + "\"");
            if (r.form == FileForm::binary || r.form == FileForm::text) dial_only = true;
        } else if (a == "--port") {
            r.port = whole_number(a, value(), 1, 4);
        } else if (a == "--answer") {
            answer = true;
        } else if (a == "--receive-into") {
            answer_only = true;
            r.receive_into = value();
        } else if (a == "--calls") {
            answer_only = true;
            r.calls = whole_number(a, value(), 1, 1000000);
        } else {
            throw std::invalid_argument("unknown option \"" + a + "\"");
        }
    }
    if (dial == answer) throw std::invalid_argument("give either --dial NUMBER or --answer");
    if (dial && answer_only) throw std::invalid_argument("--receive-into and --calls go with --answer");
    if (answer && dial_only) throw std::invalid_argument("--send and --form binary|text go with --dial");
    return r;
}

} // namespace

CommandLine read_command_line(int argc, char** argv, std::FILE* out, std::FILE* err) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--version") {
            std::fprintf(out, "quillon %s\n", QUILLON_VERSION);
            return {0, {}};
        }
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, out);
            return {0, {}};
        }
    }
    if (args.empty()) return {};
    try {
        return {{}, read_request(args)};
    } catch (const std::invalid_argument& e) {
        std::fprintf(err, "quillon: %s\n\n%s", e.what(), usage);
        return {exit_status::usage, {}};
    }
}

} // namespace quillon
