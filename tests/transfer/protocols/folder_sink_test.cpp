// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/temp_dir.h"
#include "transfer/protocols/folder_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace quillon {
namespace {

using testing::TempDir;

TEST(FolderSink, NeverReplacesAFileNorLeavesTheFolder) {
    TempDir dir;
    dir.write("a.txt", "old");
    FolderSink sink(dir.path());
    for (const char* offered : {"a.txt", "../../a.txt", "a.txt"}) {
        auto file = sink.open({offered, 3, 0});
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->write("new"));
        ASSERT_TRUE(file->finish());
    }
    std::set<std::string> names;
    for (auto& entry : std::filesystem::directory_iterator(dir.path())) names.insert(entry.path().filename());
    EXPECT_EQ(names, (std::set<std::string>{"a (1).txt", "a (2).txt", "a (3).txt", "a.txt"}));
    EXPECT_EQ(dir.read("a.txt"), "old");
    EXPECT_EQ(safe_file_name(".."), "received");
    EXPECT_EQ(safe_file_name("C:\\x\\.bashrc\n"), "bashrc");
}

} // namespace
} // namespace quillon
