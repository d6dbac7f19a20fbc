// SPDX-License-Identifier: GPL-3.0-or-later
// The real program from the command line, without a display, on the line
// simulator: one copy answers, another dials and sends; what they save,
// the codes they end with and the words they say.
#include "stations.h"
#include "support/random_content.h"

namespace quillon::testing {
namespace {

TEST_F(Unattended, SendsEveryFileInEitherFormAndTheyArriveIdentical) {
    struct Case {
        const char* form;
        std::vector<std::pair<std::string, std::string>> files; // name, content
        std::vector<std::string> saved_as;
    };
    const std::vector<Case> cases{
        {"binary", {{"a.bin", random_bytes(3000, 1)}, {"b.bin", random_bytes(1, 2)}, {"sub/a.bin", random_bytes(700, 3)}},
         {"a.bin", "b.bin", "a (1).bin"}},
        {"text", {{"notes.txt", random_text(2500, 4)}, {"empty.txt", ""}}, {"notes.txt", "empty.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form);
        TwoModems line;
        Station caller(line.ports[0]), answerer(line.ports[1]);
        auto answering = answerer.run({"--answer", "--receive-into", answerer.dir.file("in")});
        std::vector<std::string> args{"--dial", "5551002", "--form", c.form};
        for (const auto& [name, content] : c.files) {
            fs::create_directories(fs::path(caller.dir.file(name)).parent_path());
            caller.dir.write(name, content);
            args.insert(args.end(), {"--send", caller.dir.file(name)});
        }
        auto dialling = caller.run(args);
        auto [sent, said] = outcome(*dialling, 60);
        EXPECT_EQ(sent, 0) << said;
        EXPECT_NE(said.find("all sent; hung up"), std::string::npos) << said;
        auto [received, heard] = outcome(*answering, 30);
        EXPECT_EQ(received, 0) << heard;
        for (std::size_t i = 0; i < c.files.size(); ++i)
            EXPECT_EQ(answerer.dir.read("in/" + c.saved_as[i]), c.files[i].second) << c.saved_as[i];
        EXPECT_FALSE(answerer.dir.exists("vlorn.cmp"));
    }
}

TEST_F(Unattended, EachFailureEndsWithItsCodeAndSaysWhy) {
    struct Case {
        const char* name;
        const char* control; // said to the simulator first
        std::vector<std::string> args;
        int status;
        const char* words;
    };
    const std::vector<Case> cases{
        {"busy", "busy 5551002 on", {"--dial", "5551002"}, 3, "5551002 is busy"},
        {"no dial tone", "unplug 5551001 on", {"--dial", "5551002"}, 4, "no dial tone"},
        {"no such port", nullptr, {"--dial", "5551002", "--port", "3"}, 5, "port 3 (/dev/quillon-no-such-port) cannot be opened"},
        {"a file that is not there", nullptr, {"--dial", "5551002", "--send", "/nonexistent/x"}, 6, "sending x failed"},
        {"usage", nullptr, {"--dial", "5551002", "--calls", "2"}, 2, "--receive-into and --calls go with --answer"},
        {"usage", nullptr, {"--answer", "--port", "9"}, 2, "--port takes a whole number from 1 to 4"},
        {"usage", nullptr, {"--bogus"}, 2, "unknown option \"--bogus\""},
        {"usage", nullptr, {"--answer", "--form", "text"}, 2, "--send and --form binary|text go with --dial"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TwoModems line;
        if (c.control) {
            EXPECT_EQ(ask_line(line.ports[2], c.control), "OK");
        }
        Station caller(line.ports[0]), answerer(line.ports[1]);
        auto answering = answerer.run({"--answer"});
        auto [status, said] = outcome(*caller.run(c.args), 30);
        EXPECT_EQ(status, c.status) << said;
        EXPECT_NE(said.find(c.words), std::string::npos) << said;
    }
}

TEST_F(Unattended, SigtermInATransferHangsUpAndLeavesNothingBehind) {
    TwoModems line;
    Station caller(line.ports[0]), answerer(line.ports[1]);
    auto answering = answerer.run({"--answer", "--receive-into", answerer.dir.file("in")});
    caller.dir.write("big.bin", random_bytes(200000, 5));
    auto dialling = caller.run({"--dial", "5551002", "--send", caller.dir.file("big.bin")});
    std::string heard;
    while (auto said = answering->read_line(30)) {
        heard += *said + "\n";
        if (said->find("saving into") != std::string::npos) break;
    }
    ASSERT_NE(heard.find("saving into"), std::string::npos) << heard;
    answering->terminate(SIGTERM);
    auto [status, said] = outcome(*answering, 15);
    EXPECT_EQ(status, 128 + SIGTERM) << said;
    EXPECT_TRUE(fs::is_empty(answerer.dir.file("in")));
    EXPECT_FALSE(answerer.dir.exists("vlorn.cmp"));
    auto [sent, told] = outcome(*dialling, 30);
    EXPECT_EQ(sent, 6) << told;
    EXPECT_NE(told.find("sending big.bin failed"), std::string::npos) << told;
    EXPECT_EQ(ask_line(line.ports[2], "list"), "5551001 idle; 5551002 idle");

    // Nothing held: the next run gets the port and the files, and holds
    // them against a third.
    auto again = answerer.run({"--answer"});
    EXPECT_EQ(again->read_line(10).value_or(""), "quillon: waiting for calls");
    auto [third, why] = outcome(*answerer.run({"--answer"}), 10);
    EXPECT_EQ(third, 7) << why;
    EXPECT_NE(why.find("Quillon already runs with the files in " + answerer.dir.path()), std::string::npos) << why;
}

} // namespace
} // namespace quillon::testing
