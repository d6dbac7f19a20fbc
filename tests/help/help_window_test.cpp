#include "support/program_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

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

TEST(HelpWindow, TheShippedHelpTextIsReal) {
    std::ifstream in(std::string(QUILLON_PROGRAM_DIR) + "/quillon.txt");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* topic : {"Dial", "answer", "Binary", "Address Book", "Port", "quillon-linesim"})
        EXPECT_NE(text.find(topic), std::string::npos) << topic;
}

} // namespace
} // namespace quillon
