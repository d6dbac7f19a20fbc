// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/transfer_report.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(TransferReport, FormatsTimeAndSpeed) {
    EXPECT_EQ(transfer_report_text(100, 108, "/home/ann/photo.bmp", 4096),
              "filename : /home/ann/photo.bmp\r\nfilesize : 4096 bytes\r\ntime taken : 00 : 00 : 8\r\n"
              "average speed : 512bps");
    auto line3 = [](int e) {
        std::string text = *transfer_report_text(0, e, "f", 7);
        auto from = text.find("time taken :");
        return text.substr(from, text.find("\r\n", from) - from);
    };
    EXPECT_EQ(line3(7), "time taken : 00 : 00 : 7");
    EXPECT_EQ(line3(60), "time taken : 00 : 1 : 0");
    EXPECT_EQ(line3(125), "time taken : 00 : 2 : 5");
    EXPECT_EQ(line3(3600), "time taken :1 : 0 : 0");
    EXPECT_EQ(line3(3725), "time taken :1 : 2 : 5");
    EXPECT_FALSE(transfer_report_text(50, 50, "f", 10)) << "no speed, no report";
    EXPECT_NE(transfer_report_text(86399, 9, "f", 100)->find("time taken : 00 : 00 : 10\r\naverage speed : 10bps"),
              std::string::npos)
        << "across midnight";
}

} // namespace
} // namespace quillon
