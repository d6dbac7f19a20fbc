// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/program_fixture.h"

#include "addressbook/sqlite_address_store.h"
#include "base/program_end.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sqlite3.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <filesystem>
#include <optional>

namespace quillon {
namespace {

using testing::ProgramFixture;

const char* const port_prompt = "Please specify the port no. to which the modem is connected.(1/2/3/4)";

std::vector<bool> port_ticks(Program& p) {
    std::vector<bool> ticks;
    for (int n = 1; n <= 4; ++n) ticks.push_back(p.frmmain.port_item(n).checked());
    return ticks;
}

// A port from the file, its halves rounded to the even neighbour, is ticked
// and set up; after a failed choice from the menu the ticks show the port
// that is open, or none when that one is gone too.
TEST(PortMenu, APortFromTheFileIsTickedAndAFailedChoiceKeepsTheOpenPort) {
    for (auto [value, port] : {std::pair{"1", 1}, {"2.5", 2}, {"3.5", 4}}) {
        SCOPED_TRACE(value);
        ProgramFixture f;
        f.write_ini(std::string("PORTNO.=") + value + "\nDIALMODE=pulse");
        f.port(port);
        f.port(port == 1 ? 2 : 1);
        ASSERT_TRUE(f.start());
        EXPECT_TRUE(f.dialogs.shown.empty());
        EXPECT_EQ(f.p().MSComm1.comm_port(), port);
        EXPECT_EQ(f.port(port).written, "AT&D2\r");
        std::vector<bool> ticks(4, false);
        ticks[port - 1] = true;
        if (port != 4) {
            EXPECT_EQ(port_ticks(f.p()), ticks);
            continue;
        }

        f.p().frmmain.mnuport3.choose(); // no device
        EXPECT_EQ(f.dialogs.messages().size(), 1u);
        EXPECT_TRUE(f.port(4).open());
        EXPECT_EQ(port_ticks(f.p()), ticks);
        EXPECT_TRUE(f.run([&] { f.run_for(10); }));
        f.p().frmmain.mnuport4.choose();
        EXPECT_TRUE(f.port(4).open()) << "the port in use is reopened";

        f.devices.unplug("fake:4");
        f.p().MSComm1.set_port_open(false);
        f.p().frmmain.mnuport2.choose();
        EXPECT_FALSE(f.p().MSComm1.port_open());
        EXPECT_EQ(port_ticks(f.p()), std::vector<bool>(4, false));
        f.run_for(5);
        EXPECT_EQ(f.p().frmmain.txtreceived.text(), "Modem not ready...");
    }
}

// Each failure is told before the prompt comes back, the first with the
// way to try Quillon without a modem; the file's port, failing the same way
// again, is not told twice in a row. The help offered there is read before
// the prompt, which would keep it out of reach.
TEST(Startup, AMissingDeviceIsToldBeforeThePromptAndCancelEndsWithoutWriting) {
    using Kind = testing::ScriptedDialogs::Kind;
    ProgramFixture f;
    f.write_ini("PORTNO.=4\nDIALMODE=tone");
    f.dir.write("quillon.txt", "quillon-linesim plays two modems");
    std::filesystem::create_directory(f.dir.file("images"));
    f.dir.write("images/photo.jpg", "\xFF\xD8\xFF\xE0");
    std::string before = f.dir.read("quillon.ini");
    f.dialogs.input_answers = {"2"};
    f.dialogs.yes_no_answers = {true};
    // The user reads the help for a minute, the line and the checks going on.
    EventLoop::Handle closer = 0;
    double asked_at = -1, prompted_at = -1;
    bool help_up_at_prompt = true;
    f.dialogs.on_show = [&](const testing::ScriptedDialogs::Shown& box) {
        if (box.kind == Kind::question) {
            asked_at = f.time.now();
            closer = f.loop->start_timer(60000, [&] {
                f.loop->stop_timer(closer);
                f.p().frmhelp.on_close();
            });
        }
        if (box.kind == Kind::input && prompted_at < 0) {
            prompted_at = f.time.now();
            help_up_at_prompt = f.p().frmhelp.visible();
        }
    };
    EXPECT_FALSE(f.start());
    ASSERT_EQ(f.dialogs.shown.size(), 4u);
    EXPECT_EQ(f.dialogs.shown[0].kind, Kind::question);
    EXPECT_EQ(f.dialogs.shown[0].text.rfind("fake:4 does not exist !", 0), 0u);
    EXPECT_NE(f.dialogs.shown[0].text.find("quillon-linesim --modem"), std::string::npos);
    EXPECT_TRUE(f.dialogs.shown[0].text.ends_with("\n\nOpen the help?"));
    EXPECT_EQ(f.p().frmhelp.Txthelp.text(), "quillon-linesim plays two modems");
    EXPECT_FALSE(help_up_at_prompt);
    EXPECT_GE(prompted_at - asked_at, 60);
    EXPECT_EQ(f.dialogs.shown[1].text + "|" + f.dialogs.shown[2].text + "|" + f.dialogs.shown[3].text,
              std::string(port_prompt) + "|fake:2 does not exist !|" + port_prompt);
    EXPECT_EQ(f.dir.read("quillon.ini"), before);
}

// A book that can only be read, or one another program holds locked, is
// named with the reason at start, not at the first entry typed into it.
TEST(Startup, AReadOnlyOrLockedBookSaysSoWithTheFileAndTheReason) {
    for (bool locked : {true, false}) {
        SCOPED_TRACE(locked ? "locked" : "read-only");
        ProgramFixture f;
        const std::string book = f.dir.file("addressbook.mdb");
        make_sqlite_address_store()->open(book);
        if (locked) {
            sqlite3* other = nullptr;
            ASSERT_EQ(sqlite3_open(book.c_str(), &other), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
            EXPECT_TRUE(f.start_on_port1());
            sqlite3_close(other);
            EXPECT_EQ(f.dialogs.messages(),
                      std::vector<std::string>{"Unable to load address book!\n" + book + ": database is locked"});
            EXPECT_FALSE(f.p().frmmain.mnuaddress.enabled());
            continue;
        }
        std::filesystem::permissions(book, std::filesystem::perms::owner_read);
        // Root writes anywhere but to an immutable file.
        int fd = ::open(book.c_str(), O_RDONLY);
        int flags = 0;
        bool immutable = ::geteuid() == 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                         (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
        if (::geteuid() == 0 && !immutable) {
            ::close(fd);
            GTEST_SKIP() << "no way to keep root from writing the book";
        }
        std::string written_under_box;
        f.dialogs.while_shown = [&] { written_under_box = f.port(1).written; };
        EXPECT_TRUE(f.start_on_port1());
        EXPECT_EQ(written_under_box, "AT&D2\r") << "the modem is set up before the box";
        if (immutable) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
        EXPECT_EQ(f.dialogs.messages(),
                  std::vector<std::string>{"The address book " + book + " is read-only: " +
                                           (immutable ? "Operation not permitted" : "Permission denied") +
                                           ". Its entries can be found and dialled, but nothing can be added, "
                                           "edited or removed."});
        EXPECT_TRUE(f.p().frmmain.mnuaddress.enabled());
    }
}

// What the menus changed is written back and the next start accepts it.
// An end asked for by a signal or a logout must not wait on a box: a file
// that cannot be written goes to stderr, and the next start tells it.
TEST(Shutdown, WritesBackWhatTheMenusChangedOrTellsNextTimeThatItCouldNot) {
    ProgramFixture f;
    f.write_ini("PORTNO.=2\nDIALMODE=pulse");
    f.port(2);
    f.port(3);
    ASSERT_TRUE(f.start());
    f.p().frmmain.mnuport3.choose();
    EXPECT_FALSE(f.port(2).open()) << "the port left is closed";
    f.p().frmmain.mnudialtone.choose();
    EXPECT_FALSE(f.run([&] { f.p().frmmain.close(); }));
    std::string ini = f.dir.read("quillon.ini");
    EXPECT_NE(ini.find("PORTNO.=3         \n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("DIALMODE=tone      \n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("COMM4=fake:4"), std::string::npos) << "other lines kept";
    EXPECT_FALSE(f.port(3).open()) << "port closed";

    ProgramFixture again;
    again.dir.write("quillon.ini", ini);
    again.port(3);
    ASSERT_TRUE(again.start());
    EXPECT_TRUE(again.p().frmmain.mnuport3.checked());
    EXPECT_TRUE(again.p().frmmain.mnudialtone.checked());
    // A directory in its place cannot be replaced, even by root.
    std::filesystem::remove(again.dir.file("quillon.ini"));
    std::filesystem::create_directory(again.dir.file("quillon.ini"));
    std::size_t boxes = again.dialogs.messages().size();
    EXPECT_FALSE(again.run([&] { again.p().frmmain.close(); }));
    EXPECT_EQ(again.dialogs.messages().size(), boxes);
    again.program.reset();

    std::filesystem::remove(again.dir.file("quillon.ini"));
    again.dir.write("quillon.ini", ini);
    ProgramFixture next;
    next.files = again.files;
    next.opener = again.opener;
    ASSERT_TRUE(next.start());
    EXPECT_EQ(next.dialogs.messages().at(0), "Quillon could not save its settings to " + again.dir.file("quillon.ini") +
                                                 " when it last ended.");
    EXPECT_TRUE(next.run([&] { next.p().main_window.Form_Load(); }));
    EXPECT_EQ(next.dialogs.messages().size(), 1u) << "told once";
}

// Runs the start-up and says how the program ended: its exit status, or
// nothing while it still runs.
std::optional<int> start_and_end(ProgramFixture& f) {
    f.create();
    try {
        f.p().main_window.Form_Load();
    } catch (const ProgramEnd& end) {
        return end.status;
    }
    return std::nullopt;
}

TEST(Shutdown, ARejectedPortAnswerIsNeverWritten) {
    struct Case {
        const char* file; // nullptr: no settings file
        const char* port_back;
        const char* mode_back;
    };
    for (const Case& c : {Case{"PORTNO.=abc\nDIALMODE=tone", "PORTNO.=abc\n", "DIALMODE=tone\n"},
                          Case{"PORTNO.=4\nDIALMODE=tone", "PORTNO.=4\n", "DIALMODE=tone\n"},
                          Case{nullptr, "PORTNO.=1\r\n", "DIALMODE=pulse\r\n"}}) {
        SCOPED_TRACE(c.file ? c.file : "no file");
        ProgramFixture f;
        if (c.file) f.write_ini(c.file); // port 4's device is missing: the prompt
        int asked = 0;
        f.dialogs.input_answers = {"5", "0", "-1", "4.5"};
        // The window is closed (or the desktop logs out) at the fifth prompt.
        f.dialogs.while_shown = [&] {
            if (++asked == 5) f.p().frmmain.close();
        };
        EXPECT_EQ(start_and_end(f), 0);
        EXPECT_EQ(asked, 5);
        std::string ini = f.dir.read("quillon.ini");
        EXPECT_NE(ini.find(c.port_back), std::string::npos) << ini;
        EXPECT_NE(ini.find(c.mode_back), std::string::npos) << ini;
    }
}

// Settings the start-up cannot use are named in one stop box, and the
// program ends with the configuration error, writing nothing, whether the
// window is closed during the box or not; the checks tick on under it.
// Without a file the port is asked for first.
TEST(Startup, UnusableSettingsEndInOneBoxAndWriteNothing) {
    struct Case {
        const char* file; // nullptr: none
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"PORTNO.=0\nDIALMODE=pulse", {"Error! Invalid port number."}},
        {"PORTNO.=5\nDIALMODE=tone", {"Error! Invalid port number."}},
        {"PORTNO.=-1\nDIALMODE=pulse", {"Error! Invalid port number."}},
        {"PORTNO.=\nDIALMODE=tone", {"Error in reading configuration file!"}},
        {"PORTNO.=1\nDIALMODE=Tone", {"Invalid dialling mode set in INI file."}},
        {nullptr, {port_prompt, "Invalid dialling mode set in INI file."}},
    };
    for (const Case& c : cases) {
        for (bool closed_during_box : {false, true}) {
            if (!c.file && closed_during_box) continue; // closed at the prompt: see below
            SCOPED_TRACE(std::string(c.file ? c.file : "no file") + (closed_during_box ? ", closed during the box" : ""));
            ProgramFixture f;
            if (c.file) f.write_ini(c.file);
            const std::string before = c.file ? f.dir.read("quillon.ini") : "";
            f.port(1);
            f.devices.plug("/dev/ttyS2");
            f.dialogs.input_answers = {"3"};
            f.dialogs.while_shown = [&] {
                f.run_for(6);
                if (closed_during_box) f.p().frmmain.close();
            };
            EXPECT_EQ(start_and_end(f), configuration_error_status);
            std::vector<std::string> shown;
            for (const auto& box : f.dialogs.shown) shown.push_back(box.text);
            EXPECT_EQ(shown, c.boxes);
            EXPECT_EQ(f.dialogs.shown.back().icon, Icon::stop);
            ASSERT_EQ(f.dir.exists("quillon.ini"), c.file != nullptr) << "ending the program writes nothing";
            if (c.file) {
                EXPECT_EQ(f.dir.read("quillon.ini"), before);
            }
        }
    }
}

// A configured device the user may not open is explained at start, before
// the port prompt, and the program goes on.
TEST(Startup, ADeviceThatCannotBeHadIsExplainedBeforeThePortPrompt) {
    ProgramFixture f;
    f.write_ini("PORTNO.=1\nDIALMODE=tone");
    f.port(2);
    const std::string why = "Permission denied on /dev/ttyUSB0: join the group dialout";
    f.opener = [&, fakes = f.opener](const std::string& device) -> std::unique_ptr<Line> {
        if (device == "fake:1") throw DeviceUnavailable(why);
        return fakes(device);
    };
    f.dialogs.input_answers = {"2"};
    ASSERT_TRUE(f.start());
    ASSERT_GE(f.dialogs.shown.size(), 2u);
    EXPECT_EQ(f.dialogs.shown[0].text, why + " !\n\nOpen the help?");
    EXPECT_EQ(f.dialogs.shown[0].kind, testing::ScriptedDialogs::Kind::question);
    EXPECT_EQ(f.dialogs.shown[1].kind, testing::ScriptedDialogs::Kind::input);
    EXPECT_TRUE(f.p().MSComm1.port_open());
    EXPECT_EQ(f.p().MSComm1.comm_port(), 2);
}

} // namespace
} // namespace quillon
