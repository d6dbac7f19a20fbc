// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/program_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace quillon {
namespace {

TEST(HelpWindow, MissingOrUnreadableFilesAreToldAndTheWindowStillOpens) {
    const std::string jpeg = "\xFF\xD8\xFF\xE0";
    struct Case {
        std::optional<std::string> photo, text; // nullopt: no file; text "/": a directory in its place
        std::vector<std::string> told;
        const char *shown;
    };
    for (const Case &c :
         {Case{std::nullopt, "text", {"Unable to find picture file!"}, "text"},
          Case{"not a picture", std::nullopt, {"Unable to find picture file!", "Unable to load help file!"}, ""},
          Case{jpeg, "", {}, ""}, // an empty text is no failure
          Case{jpeg, "/", {"Unable to load help file!"}, ""}}) {
        SCOPED_TRACE(c.text.value_or("no text"));
        testing::ProgramFixture f;
        ASSERT_TRUE(f.start_on_port1());
        std::filesystem::create_directory(f.dir.file("images"));
        if (c.photo) f.dir.write("images/photo.jpg", *c.photo);
        if (c.text == "/")
            std::filesystem::create_directory(f.dir.file("quillon.txt"));
        else if (c.text)
            f.dir.write("quillon.txt", *c.text);
        f.p().frmhelp.Txthelp.set_text("stale");
        f.p().frmmain.mnuhelp.choose();
        EXPECT_EQ(f.dialogs.messages(), c.told);
        for (const auto &shown : f.dialogs.shown)
            EXPECT_EQ(shown.icon, Icon::information);
        EXPECT_TRUE(f.p().frmhelp.visible());
        EXPECT_EQ(f.p().frmhelp.Txthelp.text(), c.shown);
    }
}

} // namespace
} // namespace quillon
