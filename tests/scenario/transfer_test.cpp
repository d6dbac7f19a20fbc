#include "support/random_content.h"
#include "support/two_programs.h"
#include "transfer/transfer_frames.h"

#include <gtest/gtest.h>

#include <random>

namespace quillon {
namespace {

using testing::Station;
using testing::random_bytes;
using testing::random_text;
using testing::TwoPrograms;

struct Transfer : TwoPrograms {
    Transfer() {
        EXPECT_TRUE(start());
        EXPECT_TRUE(call());
        exchange.on_carried = [this](const std::string& from, const std::string&, std::string_view bytes) {
            (from == a.number ? a_to_b : b_to_a) += bytes;
        };
    }
    // a sends the file to b in the given form; true when both sides finished.
    bool send(const std::string& content, const std::string& form, bool go_offline = false) {
        start_sending(content, form, go_offline);
        bool done = run_until(
            [&] {
                bool received = form == "binary" ? b.f.dialogs.showed("Conversion complete!")
                                                 : b.s().recv_block == 1 && b.s().current_mode == "chat";
                return a.s().send_block == -50 && received;
            },
            3600);
        run_for(1); // the last texts still on the line
        return done;
    }
    void start_sending(const std::string& content, const std::string& form, bool go_offline) {
        a.f.dir.write("photo.bmp", content);
        a.f.dialogs.open_answers.push_back(a.f.dir.file("photo.bmp"));
        b.f.dialogs.save_answers.push_back(b.f.dir.file("received.bmp"));
        b.f.dialogs.yes_no_answers.push_back(go_offline);
        (form == "binary" ? a.w().filemodebinary : a.w().filemodetext).choose();
        a.w().cmdsend.click();
    }
    std::string received() { return b.f.dir.read("received.bmp"); }
    std::string a_to_b, b_to_a;
};

std::string hex(std::string_view bytes) {
    std::string out;
    append_hex(out, bytes);
    return out;
}

TEST(TransferScenario, TheWorkedExchangeCharacterForCharacter) {
    Transfer t;
    std::string content = random_bytes(2500, 7);
    ASSERT_TRUE(t.send(content, "binary"));
    EXPECT_TRUE(t.received() == content);
    std::string expected_a = "^%847%^5000^%847%^photo.bmp^%847%^binary^%847%^" + hex(content.substr(0, 1024)) +
                             "^%847%^" + hex(content.substr(1024, 1024)) + "^%847%^" + hex(content.substr(2048)) +
                             "^%847%^";
    EXPECT_TRUE(t.a_to_b == expected_a);
    std::string requests;
    for (int i = 0; i < 7; ++i) requests += "^%1694%^";
    EXPECT_EQ(t.b_to_a, requests + "Receiver::Conversion in progress.Please wait!Receiver::Conversion complete.");

    // Each side reports the announced length, in characters on the line.
    auto report_of = [](Station& s) {
        for (const auto& m : s.f.dialogs.messages())
            if (m.starts_with("filename : ")) return m;
        return std::string();
    };
    EXPECT_NE(report_of(t.a).find("filesize : 5000 bytes"), std::string::npos);
    EXPECT_NE(report_of(t.b).find("filename : " + t.b.f.dir.file("received.bmp")), std::string::npos);
    EXPECT_FALSE(t.b.f.dir.exists("vlorn.cmp"));
    EXPECT_TRUE(t.a.w().cmdsend.enabled());
    EXPECT_TRUE(t.both_connected());
}

TEST(TransferScenario, TextFormExchange) {
    Transfer t;
    std::string content = random_text(2500, 3);
    ASSERT_TRUE(t.send(content, "text"));
    EXPECT_TRUE(t.received() == content);
    EXPECT_TRUE(t.a_to_b == "^%847%^2500^%847%^photo.bmp^%847%^text^%847%^" + content.substr(0, 2048) + "^%847%^" +
                                content.substr(2048) + "^%847%^Finished Sending File.");
    std::string requests;
    for (int i = 0; i < 5; ++i) requests += "^%1694%^";
    EXPECT_EQ(t.b_to_a, requests + "Receiver::Received file.^%1694%^");
    EXPECT_EQ(t.b.w().txtsend.text(), "End of transmission.Back to chat mode.");
}

TEST(TransferScenario, EverySizeArrivesIdenticalInBothForms) {
    for (std::size_t size : {0u, 1u, 1024u, 1025u, 2048u, 2500u, 4096u, 4500u}) {
        for (const char* form : {"binary", "text"}) {
            SCOPED_TRACE(std::to_string(size) + " " + form);
            Transfer t;
            std::string content = std::string(form) == "binary" ? random_bytes(size, size) : random_text(size, size);
            ASSERT_TRUE(t.send(content, form));
            EXPECT_TRUE(t.received() == content);
        }
    }
}

TEST(TransferScenario, OneMegabyteEachWayAndAgain) {
    Transfer t;
    std::string binary = random_bytes(1 << 20, 11);
    ASSERT_TRUE(t.send(binary, "binary"));
    EXPECT_TRUE(t.received() == binary);
    // Over 56000 bit/s a megabyte as hexadecimal takes about six minutes.
    EXPECT_GT(t.time.now(), 2.0 * (1 << 20) * 10 / 56000);

    std::string text = random_text(1 << 20, 12);
    ASSERT_TRUE(t.send(text, "text"));
    EXPECT_TRUE(t.received() == text);
}

TEST(TransferScenario, GoingOfflineForTheConversionHangsUp) {
    Transfer t;
    std::string content = random_bytes(3000, 5);
    t.start_sending(content, "binary", true);
    ASSERT_TRUE(t.run_until([&] { return t.b.f.dialogs.showed("Conversion complete!"); }, 60));
    EXPECT_TRUE(t.received() == content);
    ASSERT_TRUE(t.run_until([&] { return t.a.s().connected == 0 && t.b.s().connected == 0; }, 15));
    EXPECT_EQ(t.b_to_a.find("Receiver::Conversion complete."), std::string::npos)
        << "written to a line whose call is gone";
    // The last request crossed before the call went: the sender finished.
    EXPECT_TRUE(t.a.f.dialogs.showed("Finished sending.Back to chat mode."));
    EXPECT_EQ(t.a.s().current_mode, "chat");
    EXPECT_FALSE(t.a.w().ProgressBar1.visible());
    ASSERT_TRUE(t.call()) << "and the line is ready for the next call";
}

TEST(TransferScenario, CarrierLostMidTransferLeavesBothSidesUsable) {
    Transfer t;
    t.a.f.dir.write("big.bin", random_bytes(50000, 9));
    t.a.f.dialogs.open_answers.push_back(t.a.f.dir.file("big.bin"));
    t.b.f.dialogs.save_answers.push_back(t.b.f.dir.file("big.bin"));
    t.a.w().filemodebinary.choose();
    t.a.w().cmdsend.click();
    ASSERT_TRUE(t.run_until([&] { return t.b.s().recv_block > 10; }, 60));
    t.exchange.drop("5551001");
    ASSERT_TRUE(t.run_until([&] { return t.a.s().connected == 0 && t.b.s().connected == 0; }, 15));
    EXPECT_FALSE(t.b.f.dir.exists("vlorn.cmp"));
    EXPECT_FALSE(t.b.f.dialogs.showed("Conversion complete!"));
    for (Station* s : {&t.a, &t.b}) {
        EXPECT_EQ(s->s().current_mode, "chat");
        EXPECT_EQ(s->s().recv_block, 1);
        EXPECT_FALSE(s->w().ProgressBar1.visible());
    }
    ASSERT_TRUE(t.call());
    std::string content = random_bytes(3000, 10);
    ASSERT_TRUE(t.send(content, "binary")) << "a new call carries a new transfer";
    EXPECT_TRUE(t.received() == content);
}

} // namespace
} // namespace quillon
