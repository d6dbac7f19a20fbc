// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/file_locations.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <grp.h>
#include <map>
#include <unistd.h>

namespace quillon {
namespace {

using testing::TempDir;

UserFolders folders_of(const std::map<std::string, std::string>& environment) {
    return user_folders([&](const char* name) -> const char* {
        auto it = environment.find(name);
        return it == environment.end() ? nullptr : it->second.c_str();
    });
}

TEST(UserFolders, FollowTheVariablesAndFallBackUnderHome) {
    UserFolders set = folders_of({{"HOME", "/home/ann"},
                                  {"XDG_CONFIG_HOME", "/cfg"},
                                  {"XDG_DATA_HOME", "/data"},
                                  {"XDG_CACHE_HOME", "/tmp/cache"}});
    EXPECT_EQ(set.config + " " + set.data + " " + set.cache, "/cfg /data /tmp/cache");

    // Empty and relative values do not count.
    UserFolders unset = folders_of({{"HOME", "/home/ann/"}, {"XDG_CONFIG_HOME", ""}, {"XDG_DATA_HOME", "data"}});
    EXPECT_EQ(unset.config + " " + unset.data + " " + unset.cache,
              "/home/ann/.config /home/ann/.local/share /home/ann/.cache");

    EXPECT_EQ(folders_of({}).config.front(), '/') << "no HOME: the password database's home";
}

TEST(FileLocations, AWritableProgramDirectoryWithSettingsKeepsEverythingBesideTheProgram) {
    TempDir program, home;
    program.write("quillon.ini", "[Quillon]\n");
    UserFolders folders{home.file("config"), home.file("data"), home.file("cache")};
    FileLocations files = FileLocations::choose(program.path(), folders);
    EXPECT_TRUE(files.is_portable());
    EXPECT_EQ(files.settings_file() + " " + files.address_book() + " " + files.spool_file() + " " + files.data_dir(),
              program.file("quillon.ini") + " " + program.file("addressbook.mdb") + " " + program.file("vlorn.cmp") +
                  " " + program.path());
    EXPECT_EQ(files.program_file("images\\photo.jpg"), program.file("images/photo.jpg"));
    EXPECT_TRUE(std::filesystem::is_empty(home.path())) << "nothing made in the user's folders";
}

TEST(FileLocations, WithoutSettingsBesideTheProgramEachFileGoesToItsUserFolder) {
    TempDir program, home;
    UserFolders folders{home.file("a/config"), home.file("b/data"), home.file("c/cache")};
    FileLocations files = FileLocations::choose(program.path(), folders);
    EXPECT_FALSE(files.is_portable());
    EXPECT_TRUE(std::filesystem::is_empty(home.path())) << "folders are made when a file is named";

    EXPECT_EQ(files.settings_file() + " " + files.address_book() + " " + files.spool_file() + " " + files.data_dir(),
              home.file("a/config/quillon/quillon.ini") + " " + home.file("b/data/quillon/addressbook.mdb") + " " +
                  home.file("c/cache/quillon/vlorn.cmp") + " " + home.file("b/data/quillon"));
    for (const char* made : {"a/config/quillon", "b/data/quillon", "c/cache/quillon", "a/config"})
        EXPECT_EQ(std::filesystem::status(home.file(made)).permissions(), std::filesystem::perms::owner_all)
            << made << " is made, the user's alone";
    EXPECT_EQ(files.program_file("quillon.txt"), program.file("quillon.txt")) << "help stays with the program";
    EXPECT_TRUE(std::filesystem::is_empty(program.path()));
}

// Root writes anywhere, so the choice is made by a user without rights
// there, in a child that says by its exit status what it found.
TEST(FileLocations, AReadOnlyProgramDirectoryIsNeverTheUsersFolder) {
    GTEST_FLAG_SET(death_test_style, "fast");
    TempDir program, home;
    program.write("quillon.ini", "[Quillon]\n");
    using std::filesystem::perms;
    std::filesystem::permissions(program.path(), perms::owner_read | perms::owner_exec | perms::others_read |
                                                     perms::others_exec);
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
                std::_Exit(2);
            if (::access(program.file("quillon.ini").c_str(), F_OK) != 0) std::_Exit(3); // seen, not writable
            FileLocations files =
                FileLocations::choose(program.path(), {home.file("c"), home.file("d"), home.file("e")});
            std::_Exit(!files.is_portable() && files.settings_file() == home.file("c/quillon/quillon.ini") ? 0 : 4);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace quillon
