// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ini_file.h"
#include "base/text_number.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::TempDir;

TEST(IniFile, ReadsLikeThePrivateProfileReader) {
    TempDir dir;
    std::string file = dir.file("quillon.ini");
    EXPECT_EQ(read_profile_string(file, "Quillon", "PORTNO.", "DEFAULT", 10).value, "DEFAULT") << "no file";

    dir.write("quillon.ini", "; settings\r\n[other]\r\nPORTNO.=9\r\n[quillon]\r\nportno. = 3 \r\nEMPTY=\r\n"
                             "LONG=abcdefghijkl\r\n");
    auto port = read_profile_string(file, "Quillon", "PORTNO.", "DEFAULT", 10);
    EXPECT_EQ(port.value, "3");
    EXPECT_EQ(port.length, 1u);
    auto empty = read_profile_string(file, "Quillon", "EMPTY", "DEFAULT", 10);
    EXPECT_EQ(empty.length, 0u);
    EXPECT_EQ(read_profile_string(file, "Quillon", "LONG", "DEFAULT", 10).value, "abcdefghi");
    EXPECT_EQ(read_profile_string(file, "Quillon", "DIALMODE", "DEFAULT", 10).value, "DEFAULT") << "no key";
    EXPECT_EQ(read_profile_string(file, "Missing", "PORTNO.", "DEFAULT", 10).value, "DEFAULT") << "no section";
}

TEST(IniFile, ReadsAFileEditedOnWindows) {
    TempDir dir;
    std::string file = dir.file("quillon.ini");
    dir.write("quillon.ini", "\xEF\xBB\xBF[Quillon]\r\nPORTNO.=\"3\"\r\nDIALMODE='tone'\r\nA=\"\"\r\nB=\"x'\r\n"
                             "C=\"\"q\"\"\r\nD=\"\r\n");
    EXPECT_EQ(read_profile_string(file, "Quillon", "PORTNO.", "DEFAULT", 10).value, "3");
    EXPECT_EQ(read_profile_string(file, "Quillon", "DIALMODE", "DEFAULT", 10).value, "tone");
    EXPECT_EQ(read_profile_string(file, "Quillon", "A", "DEFAULT", 10).length, 0u);
    EXPECT_EQ(read_profile_string(file, "Quillon", "B", "DEFAULT", 10).value, "\"x'") << "quotes that do not pair";
    EXPECT_EQ(read_profile_string(file, "Quillon", "C", "DEFAULT", 10).value, "\"q\"") << "one pair only";
    EXPECT_EQ(read_profile_string(file, "Quillon", "D", "DEFAULT", 10).value, "\"");

    ASSERT_TRUE(write_profile_string(file, "Quillon", "PORTNO.", "2         "));
    std::string written = dir.read("quillon.ini");
    EXPECT_TRUE(written.starts_with("\xEF\xBB\xBF[Quillon]\r\nPORTNO.=2         \r\nDIALMODE='tone'\r\n")) << written;
    EXPECT_EQ(read_profile_string(file, "Quillon", "PORTNO.", "DEFAULT", 10).value, "2");
}

TEST(IniFile, AFailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    std::string file = dir.file("sub/quillon.ini");
    EXPECT_FALSE(write_profile_string(file, "Quillon", "PORTNO.", "1")) << "directory missing";
    dir.write("quillon.ini", "[Quillon]\nPORTNO.=2\n");
    EXPECT_FALSE(write_profile_string(dir.file("quillon.ini"), "Quillon", "PORTNO.", "1\r\nDIALMODE=x"));
    EXPECT_EQ(dir.read("quillon.ini"), "[Quillon]\nPORTNO.=2\n");
}

TEST(TextNumber, ConvertsLikeTheRuntime) {
    EXPECT_EQ(to_number(" 3 "), 3.0);
    for (const char *not_a_number : {"abc", "DEFAULT", "inf", "0x3"})
        EXPECT_FALSE(to_number(not_a_number)) << not_a_number;
    EXPECT_EQ(round_half_even(2.6), 3);
    EXPECT_EQ(fixed_field("abcdefghijkl", 10), "abcdefghij");
}

} // namespace
} // namespace quillon
