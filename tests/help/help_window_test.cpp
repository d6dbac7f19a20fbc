#include "support/program_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace quillon {
namespace {

struct Help : testing::ProgramFixture {
    Help() {
        write_ini("PORTNO.=1\nDIALMODE=tone");
        port(1);
        EXPECT_TRUE(start());
        std::filesystem::create_directory(dir.file("images"));
    }
    HelpForm& h() { return p().frmhelp; }
    void open() { p().frmmain.mnuhelp.choose(); }
};

TEST(HelpWindow, ShowsThePictureAndTheWholeText) {
    Help f;
    f.dir.write("images/photo.jpg", "\xFF\xD8\xFF\xE0 jpeg");
    f.dir.write("quillon.txt", "Line one\r\nLine two\r\n");
    f.open();
    EXPECT_TRUE(f.h().visible());
    EXPECT_EQ(f.h().caption(), "Quillon -- Help");
    EXPECT_TRUE(f.h().ImagePic.path().ends_with("images/photo.jpg"));
    EXPECT_EQ(f.h().Txthelp.text(), "Line one\r\nLine two\r\n");
    EXPECT_TRUE(f.dialogs.shown.empty());

    f.dir.write("quillon.txt", "changed");
    f.open();
    EXPECT_EQ(f.h().Txthelp.text(), "Line one\r\nLine two\r\n") << "an open window reads nothing again";
    f.h().close();
    EXPECT_FALSE(f.h().visible());
    f.open();
    EXPECT_EQ(f.h().Txthelp.text(), "changed") << "reopening reads both files again";
}

TEST(HelpWindow, MissingFilesAreToldAndTheWindowStillOpens) {
    Help f;
    f.dir.write("quillon.txt", "text");
    f.open();
    EXPECT_EQ(f.dialogs.messages(), std::vector<std::string>{"Unable to find picture file!"});
    EXPECT_EQ(f.dialogs.shown[0].icon, Icon::information);
    EXPECT_EQ(f.h().Txthelp.text(), "text");
    f.h().close();

    f.dialogs.shown.clear();
    f.dir.write("images/photo.jpg", "not a picture");
    std::filesystem::remove(f.dir.file("quillon.txt"));
    f.open();
    EXPECT_EQ(f.dialogs.messages(),
              (std::vector<std::string>{"Unable to find picture file!", "Unable to load help file!"}));
    EXPECT_TRUE(f.h().visible());
    EXPECT_EQ(f.h().Txthelp.text(), "");
    f.h().close();

    f.dialogs.shown.clear();
    f.dir.write("images/photo.jpg", "\xFF\xD8\xFF\xE0");
    f.dir.write("quillon.txt", "");
    f.open();
    EXPECT_TRUE(f.dialogs.shown.empty()) << "an empty text is no failure";
    EXPECT_EQ(f.h().Txthelp.text(), "");
}

TEST(HelpWindow, AHelpFileThatCannotBeReadIsToldLikeAMissingOne) {
    Help f;
    f.dir.write("images/photo.jpg", "\xFF\xD8\xFF\xE0");
    std::filesystem::create_directory(f.dir.file("quillon.txt"));
    f.h().Txthelp.set_text("stale");
    f.open();
    EXPECT_EQ(f.dialogs.messages(), std::vector<std::string>{"Unable to load help file!"});
    EXPECT_TRUE(f.h().visible());
    EXPECT_EQ(f.h().Txthelp.text(), "");
}

// Counts what a window would be told.
struct ChangeCounter : FormView {
    std::map<const Control*, int> changes;
    void control_changed(Control& control) override { ++changes[&control]; }
    void text_appended(Control& control, std::string_view) override { ++changes[&control]; }
};

TEST(HelpWindow, EveryLoadShowsThePictureAfreshAndEveryClickBringsTheWindowForward) {
    Help f;
    f.dir.write("images/photo.jpg", "\xFF\xD8\xFF\xE0");
    f.dir.write("quillon.txt", "text");
    ChangeCounter window;
    f.h().attach_all(&window);
    f.open();
    unsigned long front = f.h().front_requests();
    f.h().close();
    f.dir.write("images/photo.jpg", "\xFF\xD8\xFF\xE0 replaced");
    int picture_changes = window.changes[&f.h().ImagePic];
    f.open();
    EXPECT_GT(window.changes[&f.h().ImagePic], picture_changes) << "the same name is read again";
    EXPECT_TRUE(f.h().ImagePic.path().ends_with("images/photo.jpg"));

    int form_changes = window.changes[&f.h()];
    f.open();
    EXPECT_GT(f.h().front_requests(), front + 1);
    EXPECT_GT(window.changes[&f.h()], form_changes) << "an open window is told to come forward";
    f.h().attach_all(nullptr);
}

TEST(HelpWindow, TheShippedHelpTextIsReal) {
    std::ifstream in(std::string(QUILLON_PROGRAM_DIR) + "/quillon.txt");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* topic : {"Dial", "answer", "Binary", "Address Book", "Port", "quillon-linesim"})
        EXPECT_NE(text.find(topic), std::string::npos) << topic;
}

} // namespace
} // namespace quillon
