// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/connected_program.h"
#include "support/random_content.h"
#include "support/two_programs.h"
#include "transfer/protocols/zmodem_frames.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

namespace quillon {
namespace {

using File = testing::SampleFile;
using testing::Station;
using testing::TwoPrograms;

struct Protocols : TwoPrograms {
    Protocols() {
        EXPECT_TRUE(start());
        EXPECT_TRUE(call());
        for (Station* s : {&a, &b}) std::filesystem::create_directory(s->f.dir.file("inbox"));
    }
    // Chooses the files through the form's item; Send is still to be pressed.
    void offer(Station& from, const std::string& form, const std::vector<File>& files) {
        std::string names;
        for (const File& f : files) {
            from.f.dir.write(f.name, f.content);
            names += (names.empty() ? "" : "\n") + from.f.dir.file(f.name);
        }
        from.f.dialogs.open_answers.push_back(names);
        item(from, form).choose();
    }
    // Readies the receiving side: ZMODEM starts by itself, the others from
    // the reception item. The folder is asked once.
    void ready_to_receive(Station& to, const std::string& form, const std::string& xmodem_name = "") {
        if (to.f.p().protocols.receiving_into().empty()) to.f.dialogs.input_answers.push_back(to.f.dir.file("inbox"));
        if (form == "zmodem") return;
        if (form == "xmodem") {
            item(to, "xmodem").choose(); // nothing to send: its dialog is cancelled
            to.f.dialogs.save_answers.push_back(to.f.dir.file("inbox/" + xmodem_name));
        }
        to.w().mnureceiveprotocol.choose();
    }
    MenuItem& item(Station& s, const std::string& form) {
        return form == "zmodem" ? s.w().filemodezmodem : form == "ymodem" ? s.w().filemodeymodem : s.w().filemodexmodem;
    }
    bool over(Station& s) { return !s.p().protocols.running(); }
    bool run_transfer(double seconds = 600) {
        run_for(0.5);
        return run_until([&] { return over(a) && over(b); }, seconds);
    }
    std::string inbox(Station& s, const std::string& name) { return s.f.dir.read("inbox/" + name); }
};

struct Case {
    std::string form;
    bool a_sends;
    std::vector<File> files;
    double noise = 0; // on both lines, mended by retransmission
};

// Each protocol each way through the menus, one through noise: every file
// whole in the receiver's folder, both sides back in chat with the call up,
// reported like our own transfers with the protocol named.
TEST(ProtocolScenario, EachProtocolEachWayThroughTheMenus) {
    using testing::random_bytes;
    const std::vector<Case> cases = {
        {"zmodem", true, {{"a file.bin", random_bytes(60000, 1)}}, 0.0001},
        {"zmodem", false, {{"one.bin", random_bytes(1, 2)}}},
        {"ymodem", true, {{"y1.bin", random_bytes(1025, 3)}, {"y2", ""}, {"y3.bin", random_bytes(20000, 4)}}},
        {"ymodem", false, {{"y4.bin", random_bytes(128, 5)}}},
        {"xmodem", true, {{"x1.bin", random_bytes(16384, 6)}}},
        {"xmodem", false, {{"x2.bin", random_bytes(1024, 7)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.form + (c.a_sends ? " a to b" : " b to a"));
        Protocols t;
        for (Station* s : {&t.a, &t.b}) t.exchange.set_noise(s->number, c.noise);
        Station& from = c.a_sends ? t.a : t.b;
        Station& to = c.a_sends ? t.b : t.a;
        t.offer(from, c.form, c.files);
        EXPECT_TRUE(t.item(from, c.form).checked());
        EXPECT_FALSE(from.w().filemodebinary.checked());
        t.ready_to_receive(to, c.form, "named by us.bin");
        from.w().cmdsend.click();
        ASSERT_TRUE(t.run_transfer());
        for (const File& f : c.files) {
            // XMODEM carries no size: the last block comes padded.
            std::string name = c.form == "xmodem" ? "named by us.bin" : f.name;
            EXPECT_TRUE(t.inbox(to, name) == f.content) << name;
        }
        const std::string protocol = c.form == "zmodem" ? "ZMODEM" : c.form == "ymodem" ? "YMODEM" : "XMODEM";
        const std::string count = std::to_string(c.files.size()) + (c.files.size() == 1 ? " file " : " files ");
        EXPECT_EQ(from.w().txtreceived.text(), protocol + ": " + count + "sent.");
        EXPECT_EQ(to.w().txtreceived.text(), protocol + ": " + count + "received.");
        if (c.files.back().content.size() >= 16384) {
            EXPECT_NE(from.f.dialogs.message_starting("filename : ").find("protocol : " + protocol), std::string::npos);
            EXPECT_NE(to.f.dialogs.message_starting("filename : " + to.f.dir.file("inbox/")), "");
        }
        for (Station* s : {&from, &to}) {
            EXPECT_EQ(s->s().current_mode, OperatingMode::chat);
            EXPECT_TRUE(s->w().mnumode.enabled());
            EXPECT_FALSE(s->w().ProgressBar1.visible());
        }
        EXPECT_TRUE(t.both_connected());
        auto in_folder = std::distance(std::filesystem::directory_iterator(to.f.dir.file("inbox")), {});
        EXPECT_EQ(static_cast<std::size_t>(in_folder), c.form == "xmodem" ? 1 : c.files.size()) << "no temporary file left";
        // And chat goes on.
        t.chat(to, "thanks");
        EXPECT_NE(from.w().txtreceived.text().find("thanks"), std::string::npos);
    }
}

// The peer's words in the arrival that starts a session, and in the one
// that ends it, are chat; the headers and their line ends are not.
TEST(ProtocolScenario, WordsInTheArrivalsThatStartAndEndASessionAreChat) {
    using namespace zmodem;
    {
        testing::ConnectedProgram p;
        p.dialogs.input_answers.push_back(p.dir.file("."));
        p.peer_sends("here it comes\r\nrz\r" + hex_header(Header::at(ZRQINIT, 0)));
        EXPECT_TRUE(p.p().protocols.running());
        EXPECT_NE(p.take_written().find("**\x18"
                                        "B01"),
                  std::string::npos)
            << "the session answers";
        const std::string said = p.p().conversation.text();
        EXPECT_NE(said.find("Other side: here it comes\r\n"), std::string::npos);
        EXPECT_NE(said.find("Other side: rz\r"), std::string::npos);
        EXPECT_EQ(said.find('*'), std::string::npos) << "the request's pads are not words";
    }
    testing::ConnectedProgram p;
    p.dir.write("quick.bin", testing::random_bytes(3000, 8));
    p.dialogs.open_answers.push_back(p.dir.file("quick.bin"));
    p.w().filemodezmodem.choose();
    p.w().cmdsend.click();
    for (std::uint8_t answer : {ZRINIT, ZRPOS, ZRINIT}) {
        p.run_for(1);
        p.line().arrive(hex_header(Header::at(answer, 0)));
    }
    p.run_for(1);
    ASSERT_NE(p.take_written().find(hex_header(Header::at(ZFIN, 0))), std::string::npos);
    p.peer_sends(hex_header(Header::at(ZFIN, 0)) + "got there?");
    EXPECT_FALSE(p.p().protocols.running());
    EXPECT_EQ(p.take_written(), "OO");
    EXPECT_EQ(p.w().txtreceived.text(), "got there?");
}

// The faults the peer brings to a session: a Cancel on either side ends a
// ZMODEM session on both with the call kept; a dropped call keeps the
// partial file, and the next session goes on from its end.
TEST(ProtocolScenario, AStalledPeerCancelsAndADroppedCall) {
    const std::string content = testing::random_bytes(60000, 9);
    {
        // A peer that never starts: told every 30 s, then given up.
        Protocols t;
        t.offer(t.a, "ymodem", {{"unwanted.bin", content}});
        t.a.w().cmdsend.click();
        t.run_for(31);
        EXPECT_EQ(t.a.w().txtreceived.text(), "No data from the other side for 30 s; the cancel button ends the transfer.");
        ASSERT_TRUE(t.run_transfer(200));
        EXPECT_EQ(t.a.w().txtreceived.text(), "The YMODEM transfer failed. The receiver does not answer.");
        EXPECT_TRUE(t.both_connected());
    }
    for (bool receiver_cancels : {true, false}) {
        SCOPED_TRACE(receiver_cancels ? "receiver cancels" : "sender cancels");
        Protocols t;
        t.offer(t.a, "zmodem", {{"big.bin", content}});
        t.ready_to_receive(t.b, "zmodem");
        t.a.w().cmdsend.click();
        ASSERT_TRUE(t.run_until([&] { return t.b.w().ProgressBar1.value() > 30; }, 60));
        (receiver_cancels ? t.b : t.a).w().cmdcan.click();
        ASSERT_TRUE(t.run_transfer(60));
        Station& peer = receiver_cancels ? t.a : t.b;
        EXPECT_EQ(peer.w().txtreceived.text(), "The other side cancelled the ZMODEM transfer.");
        EXPECT_FALSE(t.b.f.dir.exists("inbox/big.bin"));
        t.run_for(5);
        EXPECT_TRUE(t.both_connected());
        t.chat(t.b, "still here");
        EXPECT_NE(t.a.w().txtreceived.text().find("still here"), std::string::npos);
    }
    {
        Protocols t;
        t.offer(t.a, "zmodem", {{"resumed.bin", content}});
        t.ready_to_receive(t.b, "zmodem");
        t.a.w().cmdsend.click();
        ASSERT_TRUE(t.run_until([&] { return t.b.w().ProgressBar1.value() > 50; }, 60));
        t.exchange.drop(t.a.number);
        ASSERT_TRUE(t.run_until([&] { return t.a.s().connected == 0 && t.b.s().connected == 0; }, 15));
        EXPECT_TRUE(t.over(t.a) && t.over(t.b));
        const auto kept = std::filesystem::file_size(t.b.f.dir.file("inbox/resumed.bin.part"));
        EXPECT_GT(kept, content.size() / 2);
        ASSERT_TRUE(t.call());
        std::uint64_t carried = 0;
        t.exchange.on_carried = [&](const std::string& from, const std::string&, std::string_view bytes) {
            if (from == t.a.number) carried += bytes.size();
        };
        t.a.s().current_mode = OperatingMode::file_transfer;
        t.a.w().cmdsend.click();
        ASSERT_TRUE(t.run_transfer());
        EXPECT_TRUE(t.inbox(t.b, "resumed.bin") == content);
        EXPECT_LT(carried, content.size() - kept + 4096) << "only the rest crossed the line";
        EXPECT_FALSE(t.b.f.dir.exists("inbox/resumed.bin.part"));
    }
}

} // namespace
} // namespace quillon
