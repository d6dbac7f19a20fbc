// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/rfc2217_server_session.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>

namespace quillon::sim {
namespace {

using namespace telnet;

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}
std::string cp(std::uint8_t command, std::initializer_list<int> value) { return com_port_command(command, bytes(value)); }

std::string shown(std::string_view data) {
    std::string out;
    for (unsigned char c : data) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

// What the session did, in order; neighbours of one kind are joined, so
// that how the input was cut does not show.
struct Record {
    void add(const std::string& kind, std::string_view data) {
        if (!entries.empty() && entries.back().first == kind) entries.back().second += data;
        else entries.emplace_back(kind, std::string(data));
    }
    std::string text() const {
        std::string out;
        for (const auto& [kind, data] : entries) out += kind + ": " + shown(data) + "\n";
        return out;
    }
    std::vector<std::pair<std::string, std::string>> entries;
};

struct Step {
    enum Kind { client, modem_data, state } kind;
    std::string data;
    bool cd = false, dsr = false, ri = false;
};
Step from_client(std::string data) { return {Step::client, std::move(data)}; }
Step from_modem(std::string data) { return {Step::modem_data, std::move(data)}; }
Step lines(bool cd, bool dsr, bool ri) { return {Step::state, {}, cd, dsr, ri}; }

struct Row {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::pair<std::string, std::string>> expected;
};

std::string run(const Row& row, bool byte_by_byte) {
    Record record;
    Rfc2217ServerSession session({[&](std::string_view b) { record.add("client", b); },
                                  [&](std::string_view b) { record.add("modem", b); },
                                  [&](bool on) { record.add(on ? "dtr on" : "dtr off", ""); }});
    session.start();
    record.entries.clear();
    for (const Step& step : row.steps) {
        switch (step.kind) {
        case Step::client:
            if (!byte_by_byte) session.from_client(step.data);
            else
                for (char c : step.data) session.from_client(std::string_view(&c, 1));
            break;
        case Step::modem_data: session.from_modem(step.data); break;
        case Step::state: session.modem_state(step.cd, step.dsr, step.ri); break;
        }
    }
    return record.text();
}

TEST(Rfc2217ServerSession, AnswersTheClientAsPeersExpect) {
    const std::uint8_t ms = cpc::notify_modemstate + cpc::server_offset;
    const std::vector<Row> rows{
        {"the client's WILL answers our DO; the current state follows",
         {lines(false, true, false), from_client(option(will, com_port))},
         {{"client", cp(ms, {0x30})}}},
        {"answers to our own requests are not answered",
         {from_client(option(do_, binary) + option(will, binary) + option(do_, suppress_go_ahead) + option(will, suppress_go_ahead))},
         {}},
        {"the port settings are echoed at once",
         {from_client(option(will, com_port) + cp(cpc::set_baudrate, {0, 0, 0xDA, 0xC0}) + cp(cpc::set_datasize, {8}) +
                      cp(cpc::set_parity, {1}) + cp(cpc::set_stopsize, {1}) + cp(cpc::set_control, {1}))},
         {{"client", cp(ms, {0x00}) + cp(101, {0, 0, 0xDA, 0xC0}) + cp(102, {8}) + cp(103, {1}) + cp(104, {1}) +
                         cp(105, {1})}}},
        {"a value holding 255 is echoed escaped",
         {from_client(option(will, com_port) + cp(cpc::set_baudrate, {0, 0, 0xFF, 0xFF}))},
         {{"client", cp(ms, {0x00}) + bytes({255, 250, 44, 101, 0, 0, 255, 255, 255, 255, 255, 240})}}},
        {"a client that never says WILL gets the state after its first command",
         {lines(true, true, false), from_client(cp(cpc::set_datasize, {8}))},
         {{"client", cp(102, {8}) + cp(ms, {0xB0})}}},
        {"DTR on and off reach the modem, each acknowledged; asking tells the last",
         {from_client(option(will, com_port) + cp(cpc::set_control, {8}) + cp(cpc::set_control, {9}) +
                      cp(cpc::set_control, {7}))},
         {{"client", cp(ms, {0x00})},
          {"dtr on", ""},
          {"client", cp(105, {8})},
          {"dtr off", ""},
          {"client", cp(105, {9}) + cp(105, {9})}}},
        {"changes are notified with their delta bits, and only changes",
         {lines(false, true, false), from_client(option(will, com_port)), lines(true, true, false),
          lines(true, true, false), lines(false, true, true), lines(false, true, false), lines(false, false, false)},
         {{"client", cp(ms, {0x30}) + cp(ms, {0xB8}) + cp(ms, {0x78}) + cp(ms, {0x34}) + cp(ms, {0x12})}}},
        {"the mask keeps back what the client did not ask for",
         {lines(false, true, false), from_client(option(will, com_port) + cp(cpc::set_modemstate_mask, {0x8C})),
          lines(false, false, false), lines(true, false, false), lines(true, false, true), lines(true, false, false)},
         {{"client", cp(ms, {0x30}) + cp(111, {0x8C}) + cp(ms, {0x88}) + cp(ms, {0x84})}}},
        {"asking for the state repeats it",
         {lines(false, true, false), from_client(option(will, com_port) + cp(cpc::notify_modemstate, {}))},
         {{"client", cp(ms, {0x30}) + cp(ms, {0x30})}}},
        {"the signature, purge and line-state mask",
         {from_client(option(will, com_port) + cp(cpc::signature, {}) + cp(cpc::purge_data, {3}) +
                      cp(cpc::set_linestate_mask, {0x1E}))},
         {{"client", cp(ms, {0x00}) + com_port_command(100, "Quillon line simulator") + cp(112, {3}) + cp(110, {0x1E})}}},
        {"data both ways, 255 doubled on the wire only",
         {from_client("AT\xFF\xFF\r"), from_modem("\xFF" "OK")},
         {{"modem", "AT\xFF\r"}, {"client", "\xFF\xFF" "OK"}}},
        {"data around commands keeps its place",
         {from_client("A" + option(will, com_port) + "T" + cp(cpc::set_control, {9}) + "Z\r")},
         {{"modem", "A"}, {"client", cp(ms, {0x00})}, {"modem", "T"}, {"dtr off", ""}, {"client", cp(105, {9})},
          {"modem", "Z\r"}}},
    };
    for (const Row& row : rows) {
        Record expected;
        for (const auto& [kind, data] : row.expected) expected.add(kind, data);
        EXPECT_EQ(run(row, false), expected.text()) << row.name;
        EXPECT_EQ(run(row, true), expected.text()) << row.name << ", byte by byte";
    }
}

} // namespace
} // namespace quillon::sim
