// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/transfer_report.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(TransferReport, FormatsTimeAndSpeed) {
    EXPECT_EQ(transfer_report_text(100, 108, "/home/ann/photo.bmp", 4096),
              "filename : /home/ann/photo.bmp\r\nfilesize : 4096 bytes\r\ntime taken : 00 : 00 : 8\r\n"
              "average speed : 512bps");
    for (auto [seconds, line] : {std::pair{7, " 00 : 00 : 7"}, {60, " 00 : 1 : 0"}, {125, " 00 : 2 : 5"},
                                 {3600, "1 : 0 : 0"}, {3725, "1 : 2 : 5"}})
        EXPECT_NE(transfer_report_text(0, seconds, "f", 7)->find("\r\ntime taken :" + std::string(line) + "\r\n"),
                  std::string::npos);
    EXPECT_FALSE(transfer_report_text(50, 50, "f", 10)) << "no speed, no report";
    EXPECT_NE(transfer_report_text(86399, 9, "f", 100)->find("time taken : 00 : 00 : 10\r\naverage speed : 10bps"),
              std::string::npos)
        << "across midnight";
}

} // namespace
} // namespace quillon
