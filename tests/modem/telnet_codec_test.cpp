#include "modem/telnet_codec.h"
#include "modem/telnet_options.h"

#include <gtest/gtest.h>

namespace quillon::telnet {
namespace {

// The events of a parse, as text: data in quotes, options and
// subnegotiations by number.
std::string events_of(const std::vector<std::string>& feeds) {
    std::string events;
    Parser parser;
    std::string data;
    auto flush = [&] {
        if (!data.empty()) events += "\"" + data + "\" ";
        data.clear();
    };
    parser.on_data = [&](std::string_view d) { data += d; };
    parser.on_option = [&](std::uint8_t c, std::uint8_t o) {
        flush();
        events += "opt" + std::to_string(c) + "," + std::to_string(o) + " ";
    };
    parser.on_subnegotiation = [&](std::uint8_t o, std::string_view p) {
        flush();
        events += "sb" + std::to_string(o) + ":";
        for (unsigned char c : p) events += std::to_string(c) + ".";
        events += " ";
    };
    for (const auto& f : feeds) parser.feed(f);
    flush();
    return events;
}

TEST(TelnetCodec, EventsDoNotDependOnWhereTheStreamIsCut) {
    struct Row {
        std::string in;
        std::string events;
    };
    const std::vector<Row> rows{
        {"plain", "\"plain\" "},
        {"a\xFF\xFF" "b", "\"a\xFF" "b\" "},
        {"\xFF\xFB\x2C" "x", "opt251,44 \"x\" "},
        {"\xFF\xFA\x2C\x6B\x30\xFF\xF0", "sb44:107.48. "},
        {"\xFF\xFA\x2C\x6B\xFF\xFF\xFF\xF0", "sb44:107.255. "},
        {"x\xFF\xF1y", "\"xy\" "}, // NOP
        {std::string("\xFF\xFD\x00\xFF\xFB\x03z", 7), "opt253,0 opt251,3 \"z\" "},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(events_of({row.in}), row.events) << "whole";
        for (std::size_t cut = 1; cut < row.in.size(); ++cut)
            EXPECT_EQ(events_of({row.in.substr(0, cut), row.in.substr(cut)}), row.events) << "cut at " << cut;
    }
}

TEST(TelnetCodec, EncodersDoubleTheEscapeByte) {
    EXPECT_EQ(escape("a\xFF" "b"), "a\xFF\xFF" "b");
    EXPECT_EQ(com_port_command(cpc::set_baudrate, std::string("\x00\x00\xDA\xC0", 4)),
              std::string("\xFF\xFA\x2C\x01\x00\x00\xDA\xC0\xFF\xF0", 10));
    EXPECT_EQ(subnegotiation(com_port, "\x6B\xFF"), "\xFF\xFA\x2C\x6B\xFF\xFF\xFF\xF0");
}

TEST(TelnetOptions, EachRequestIsAnsweredOnceAndAnswersAreNot) {
    OptionNegotiator client({binary, com_port}, {binary});
    OptionNegotiator server({binary}, {binary, com_port});
    std::string c = client.request_will(com_port) + client.request_do(binary);
    std::string s = server.request_do(com_port);
    EXPECT_EQ(c, option(will, com_port) + option(do_, binary));
    EXPECT_EQ(s, option(do_, com_port));
    EXPECT_EQ(client.request_will(com_port), "") << "asked once";
    // Each side hears the other's request; crossing requests need no answer.
    EXPECT_EQ(server.receive(will, com_port), "");
    EXPECT_EQ(client.receive(do_, com_port), "");
    EXPECT_EQ(server.receive(do_, binary), option(will, binary));
    EXPECT_EQ(client.receive(will, binary), "") << "the answer to our DO";
    EXPECT_TRUE(client.local_on(com_port));
    EXPECT_TRUE(server.remote_on(com_port));
    EXPECT_TRUE(client.remote_on(binary));
    // Unknown options are refused once only.
    EXPECT_EQ(client.receive(do_, 1), option(wont, 1));
    EXPECT_EQ(client.receive(do_, 1), "");
    EXPECT_EQ(client.receive(will, 1), option(dont, 1));
    // Switching an enabled option off is confirmed.
    EXPECT_EQ(client.receive(dont, com_port), option(wont, com_port));
    EXPECT_FALSE(client.local_on(com_port));
}

} // namespace
} // namespace quillon::telnet
