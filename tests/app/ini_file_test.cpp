// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ini_file.h"
#include "base/text_number.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::TempDir;

// Each key of the section as "value/length", in order.
std::vector<std::string> read_keys(const std::string& file, const char* section,
                                   std::initializer_list<const char*> keys) {
    std::vector<std::string> out;
    for (const char* key : keys) {
        ProfileValue read = read_profile_string(file, section, key, "DEFAULT", 10);
        out.push_back(read.value + "/" + std::to_string(read.length));
    }
    return out;
}

TEST(IniFile, ReadsLikeThePrivateProfileReader) {
    TempDir dir;
    std::string file = dir.file("quillon.ini");
    EXPECT_EQ(read_keys(file, "Quillon", {"PORTNO."}), std::vector<std::string>{"DEFAULT/7"}) << "no file";
    dir.write("quillon.ini", "; settings\r\n[other]\r\nPORTNO.=9\r\n[quillon]\r\nportno. = 3 \r\nEMPTY=\r\n"
                             "LONG=abcdefghijkl\r\n");
    EXPECT_EQ(read_keys(file, "Quillon", {"PORTNO.", "EMPTY", "LONG", "DIALMODE"}),
              (std::vector<std::string>{"3/1", "/0", "abcdefghi/9", "DEFAULT/7"}));
    EXPECT_EQ(read_keys(file, "Missing", {"PORTNO."}), std::vector<std::string>{"DEFAULT/7"}) << "no section";
    // Numbers in the values convert as the runtime did.
    EXPECT_EQ(to_number(" 3 "), 3.0);
    for (const char *not_a_number : {"abc", "DEFAULT", "inf", "0x3"})
        EXPECT_FALSE(to_number(not_a_number)) << not_a_number;
    EXPECT_EQ(round_half_even(2.6), 3);
    EXPECT_EQ(fixed_field("abcdefghijkl", 10), "abcdefghij");
}

TEST(IniFile, ReadsAFileEditedOnWindows) {
    TempDir dir;
    std::string file = dir.file("quillon.ini");
    dir.write("quillon.ini", "\xEF\xBB\xBF[Quillon]\r\nPORTNO.=\"3\"\r\nDIALMODE='tone'\r\nA=\"\"\r\nB=\"x'\r\n"
                             "C=\"\"q\"\"\r\nD=\"\r\n");
    // Quotes that do not pair are kept; one pair only is taken off.
    EXPECT_EQ(read_keys(file, "Quillon", {"PORTNO.", "DIALMODE", "A", "B", "C", "D"}),
              (std::vector<std::string>{"3/1", "tone/4", "/0", "\"x'/3", "\"q\"/3", "\"/1"}));

    ASSERT_TRUE(write_profile_string(file, "Quillon", "PORTNO.", "2         "));
    std::string written = dir.read("quillon.ini");
    EXPECT_TRUE(written.starts_with("\xEF\xBB\xBF[Quillon]\r\nPORTNO.=2         \r\nDIALMODE='tone'\r\n")) << written;
    EXPECT_EQ(read_keys(file, "Quillon", {"PORTNO."}), std::vector<std::string>{"2/1"});
}

TEST(IniFile, AFailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    std::string file = dir.file("sub/quillon.ini");
    EXPECT_FALSE(write_profile_string(file, "Quillon", "PORTNO.", "1")) << "directory missing";
    dir.write("quillon.ini", "[Quillon]\nPORTNO.=2\n");
    EXPECT_FALSE(write_profile_string(dir.file("quillon.ini"), "Quillon", "PORTNO.", "1\r\nDIALMODE=x"));
    EXPECT_EQ(dir.read("quillon.ini"), "[Quillon]\nPORTNO.=2\n");
}

} // namespace
} // namespace quillon
