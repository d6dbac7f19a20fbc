// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/telnet_codec.h"
#include "modem/telnet_options.h"
#include "support/telnet_events.h"

#include <gtest/gtest.h>

#include <set>

namespace quillon::telnet {
namespace {

using testing::telnet_events;

// Every cut of the input into one to all-single-byte feeds.
std::vector<std::vector<std::string>> cuts_of(const std::string& in) {
    std::vector<std::vector<std::string>> cuts{{in}};
    for (std::size_t cut = 1; cut < in.size(); ++cut) cuts.push_back({in.substr(0, cut), in.substr(cut)});
    std::vector<std::string> single;
    for (char c : in) single.emplace_back(1, c);
    cuts.push_back(single);
    return cuts;
}

TEST(TelnetCodec, EventsDoNotDependOnWhereTheStreamIsCut) {
    struct Row {
        std::string in;
        std::string events;
    };
    const std::string nul(1, '\0');
    const std::vector<Row> rows{
        {"plain", "\"plain\" "},
        {"a\xFF\xFF" "b", "\"a\xFF" "b\" "},
        {"\xFF\xFF\xFF\xFF", "\"\xFF\xFF\" "},
        {"\xFF\xFB\x2C" "x", "opt251,44 \"x\" "},
        {"\xFF\xFA\x2C\x6B\x30\xFF\xF0", "sb44:107.48. "},
        {"\xFF\xFA\x2C\x6B\xFF\xFF\xFF\xF0", "sb44:107.255. "},
        {"\xFF\xFA\x2C\xFF\xF0", "sb44: "},
        {"\xFF\xFA\x18\x01\xFF\xF0", "sb24:1. "},
        {"\xFF\xFA\x2C\x65\xF0\xFA\xFF\xF0", "sb44:101.240.250. "},
        {"\xFF\xFA\x2C\x06\xFF\x01" "q", "sb44:6. \"q\" "}, // a lost SE ends it at the next IAC
        {"x\xFF\xF1y\xFF\xF9z", "\"xyz\" "},                   // NOP, GA
        {"\xFF\xF0q", "\"q\" "},                                 // a stray SE
        {std::string("\xFF\xFD\x00\xFF\xFB\x03z", 7), "opt253,0 opt251,3 \"z\" "},
        {"\r\n" + nul + "\xFF\xFC\xFF\xFF\xFE\xFF\xFF\xFD\xFF", "\"\r\n" + nul + "\" opt252,255 opt254,255 opt253,255 "},
        {"OK\xFF\xFA\x2C\x6A\x18\xFF\xF0\r\n", "\"OK\" sb44:106.24. \"\r\n\" "},
    };
    for (const Row& row : rows)
        for (const auto& feeds : cuts_of(row.in))
            EXPECT_EQ(telnet_events(feeds), row.events) << "in " << feeds.size() << " feeds, first " << feeds[0].size();
}

// One row: the requests this end makes, then what the peer says, each
// with the whole reply it gets, and the options on at the end.
TEST(TelnetOptions, RepliesAsTheLoopRuleSays) {
    struct Heard {
        std::uint8_t command, opt;
        std::string reply;
    };
    struct Row {
        const char* name;
        std::vector<std::pair<std::uint8_t, std::uint8_t>> requests; // will or do_, option
        std::vector<Heard> heard;
        std::set<std::uint8_t> local_on, remote_on;
    };
    const std::vector<Row> rows{
        {"a request for a supported option is agreed once",
         {},
         {{do_, binary, option(will, binary)}, {do_, binary, ""}, {will, suppress_go_ahead, option(do_, suppress_go_ahead)}},
         {binary},
         {suppress_go_ahead}},
        {"the answers to our requests are not answered",
         {{will, com_port}, {do_, binary}},
         {{do_, com_port, ""}, {will, binary, ""}, {do_, com_port, ""}},
         {com_port},
         {binary}},
        {"a refusal of our request is not answered",
         {{will, com_port}, {do_, binary}},
         {{dont, com_port, ""}, {wont, binary, ""}, {wont, binary, ""}},
         {},
         {}},
        {"unknown options are refused once each way",
         {},
         {{do_, 24, option(wont, 24)}, {do_, 24, ""}, {will, 24, option(dont, 24)}, {will, 24, ""},
          {will, com_port, option(dont, com_port)}},
         {},
         {}},
        {"switching an option off is confirmed once",
         {},
         {{do_, binary, option(will, binary)}, {dont, binary, option(wont, binary)}, {dont, binary, ""},
          {will, binary, option(do_, binary)}, {wont, binary, option(dont, binary)}, {wont, binary, ""}},
         {},
         {}},
        {"turning down what is already off says nothing", {}, {{dont, binary, ""}, {wont, 24, ""}}, {}, {}},
    };
    for (const Row& row : rows) {
        OptionNegotiator side({binary, suppress_go_ahead, com_port}, {binary, suppress_go_ahead});
        for (auto [command, opt] : row.requests)
            EXPECT_EQ(command == will ? side.request_will(opt) : side.request_do(opt), option(command, opt)) << row.name;
        for (const Heard& h : row.heard)
            EXPECT_EQ(side.receive(h.command, h.opt), h.reply) << row.name << ": after " << int(h.command) << " " << int(h.opt);
        for (std::uint8_t opt : {binary, suppress_go_ahead, com_port, std::uint8_t(24)}) {
            EXPECT_EQ(side.local_on(opt), row.local_on.count(opt) > 0) << row.name << ": local " << int(opt);
            EXPECT_EQ(side.remote_on(opt), row.remote_on.count(opt) > 0) << row.name << ": remote " << int(opt);
        }
    }
}

} // namespace
} // namespace quillon::telnet
