// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/first_run.h"
#include "support/program_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillon {
namespace {

using testing::ProgramFixture;
using testing::TempDir;
namespace fs = std::filesystem;

// A /dev folder with the given device nodes (plain files will do) and
// by-id links pointing at some of them, the way udev makes them.
struct DevFolder {
    explicit DevFolder(std::initializer_list<const char*> nodes,
                       std::initializer_list<std::pair<const char*, const char*>> by_id = {}) {
        for (const char* node : nodes)
            dir.write(node, "");
        if (by_id.size() != 0) fs::create_directories(dir.file("serial/by-id"));
        for (const auto& [name, target] : by_id)
            fs::create_symlink(std::string("../../") + target, dir.file("serial/by-id/") + name);
    }
    std::string dev(const std::string& name) const { return dir.file(name); }
    TempDir dir;
};

TEST(FirstRun, FindsStableNamesFirstThenEachKindInNumberOrder) {
    DevFolder dev({"ttyS10", "ttyS2", "ttyACM0", "ttyUSB1", "ttyUSB0", "tty1", "ttySx", "console"},
                  {{"usb-Modem_B-if00", "ttyUSB1"}, {"usb-Modem_A-if00", "ttyACM0"}});
    EXPECT_EQ(find_serial_devices(dev.dir.path()), (std::vector<std::string>{dev.dev("serial/by-id/usb-Modem_A-if00"),
                                                                             dev.dev("serial/by-id/usb-Modem_B-if00"),
                                                                             dev.dev("ttyUSB0"), dev.dev("ttyS2")}))
        << "a device reached by its stable name is not listed again; four at most";

    EXPECT_TRUE(find_serial_devices(DevFolder({"null", "tty0"}).dir.path()).empty());
    EXPECT_TRUE(find_serial_devices("/nonexistent").empty());
}

TEST(FirstRun, WritesSettingsThatMapThePortsOnlyWhenThereAreNone) {
    DevFolder dev({"ttyS0", "ttyUSB0"});
    TempDir config;
    ASSERT_TRUE(write_first_settings(config.file("quillon.ini"), dev.dir.path()));
    EXPECT_EQ(config.read("quillon.ini"), "[Quillon]\nPORTNO.=1\nDIALMODE=tone\n[Ports]\n; COMMn=device of port n, or "
                                          "rfc2217://host:port for a network serial port\nCOMM1=" +
                                              dev.dev("ttyUSB0") + "\nCOMM2=" + dev.dev("ttyS0") + "\n");

    // A file the user broke stays broken: the start-up tells them.
    config.write("quillon.ini", "[Quillon]\nDIALMODE=Tone\n");
    EXPECT_TRUE(write_first_settings(config.file("quillon.ini"), dev.dir.path()));
    EXPECT_EQ(config.read("quillon.ini"), "[Quillon]\nDIALMODE=Tone\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(config.path()), fs::directory_iterator()), 1)
        << "nothing left aside";

    EXPECT_FALSE(write_first_settings(config.file("missing/quillon.ini"), dev.dir.path()));
}

// The whole program as a new user starts it: no settings anywhere yet, the
// program directory not the user's.
TEST(FirstRun, ANewUserStartsWithoutAQuestionAndAgainNextTime) {
    DevFolder dev{{"ttyUSB0"}};
    TempDir home;
    ProgramFixture f;
    f.files =
        FileLocations::per_user(f.dir.path(), {home.file(".config"), home.file(".local/share"), home.file(".cache")});
    f.first_run_devices = dev.dir.path();
    testing::FakeLine& modem = f.devices.plug(dev.dev("ttyUSB0"));
    ASSERT_TRUE(f.start());
    EXPECT_TRUE(f.dialogs.shown.empty());
    EXPECT_EQ(modem.written, "AT&D2\r");
    EXPECT_TRUE(f.p().frmmain.mnudialtone.checked());
    EXPECT_TRUE(f.p().frmmain.mnuport1.checked());
    EXPECT_TRUE(home.exists(".local/share/quillon/addressbook.mdb"));
    EXPECT_FALSE(f.run([&] { f.p().frmmain.close(); }));
    EXPECT_TRUE(fs::is_empty(f.dir.path())) << "nothing written beside the program";
    f.program.reset(); // the first copy's process is over

    ProgramFixture again;
    again.files = f.files;
    testing::FakeLine& same = again.devices.plug(dev.dev("ttyUSB0"));
    ASSERT_TRUE(again.start());
    EXPECT_TRUE(again.dialogs.shown.empty()) << home.read(".config/quillon/quillon.ini");
    EXPECT_EQ(same.written, "AT&D2\r");
}

} // namespace
} // namespace quillon
