// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/connected_program.h"
#include "support/partial_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

namespace quillon {
namespace {

using testing::ConnectedProgram;

// Records the bar's values as the conversion moves it.
struct BarRecorder : FormView {
    explicit BarRecorder(ProgressBar& bar) : bar_(bar) { bar.attach(this); }
    ~BarRecorder() override { bar_.attach(nullptr); }
    void control_changed(Control&) override { values.push_back(bar_.value()); }
    void text_appended(Control&, std::string_view) override {}
    std::vector<double> values;

private:
    ProgressBar& bar_;
};

struct Converting : ConnectedProgram {
    // Converts the spool (none: no spool at all) into the destination,
    // staying online.
    void convert(const std::optional<std::string>& spool, const std::string& destination = "out") {
        if (spool) dir.write("vlorn.cmp", *spool);
        else std::remove(dir.file("vlorn.cmp").c_str());
        dialogs.yes_no_answers.push_back(false);
        p().transfer.reconvert_file(dir.file(destination));
    }
};

// Bad digits are counted in one box; the spool is read in chunks, the bar
// showing each.
TEST(Reconversion, BadDigitsAreCountedInOneBoxAndProgressIsShown) {
    Converting f;
    f.convert("4fx1AA");
    EXPECT_EQ(f.dir.read("out"), std::string("\x40\x00\xAA", 3)) << "the partial values are written";
    EXPECT_EQ(f.dialogs.messages(),
              (std::vector<std::string>{"Unexpected Error! Cannot continue. 2 pairs of digits came damaged; the bytes "
                                        "they stand for are wrong in the saved file.",
                                        "Conversion complete!"}));
    EXPECT_EQ(f.dialogs.shown[1].icon, Icon::stop);

    f.dialogs.shown.clear();
    f.convert(std::string(100000, 'z'));
    EXPECT_EQ(f.dialogs.messages().size(), 2u) << "50,000 bad pairs, one box";
    f.convert("414");
    EXPECT_EQ(f.dir.read("out"), std::string("A\x04", 2)) << "a lone last digit is a byte of its value";

    std::filesystem::create_directory(f.dir.file("images"));
    f.dir.write("images/filecopy.avi", "RIFF....AVI ");
    BarRecorder bar(f.p().frmconvert.ProgressBar1);
    bool disabled_during = false;
    // The yields inside the conversion let this run while the window is up.
    f.loop->post([&] { disabled_during = !f.w().enabled() && f.p().frmconvert.visible(); });
    f.convert(std::string(10000, 'A'));
    EXPECT_TRUE(disabled_during);
    EXPECT_EQ(f.p().frmconvert.ProgressBar1.max(), 10000);
    std::vector<double> expected{0, 4096, 8192, 10000};
    EXPECT_EQ(std::vector<double>(bar.values.end() - 4, bar.values.end()), expected);
    EXPECT_EQ(f.dir.read("out"), std::string(5000, '\xAA'));
    EXPECT_TRUE(f.p().frmconvert.Animation1.path().ends_with("images/filecopy.avi"));
    EXPECT_TRUE(f.w().enabled()) << "the main window is usable again";
}

// The spool shrinks under the conversion, the folder is missing, the spool
// is gone: each failure keeps the destination, and the spool where it is.
TEST(Reconversion, FailuresKeepTheSpoolAndTheDestination) {
    Converting f;
    f.dir.write("out", "earlier");
    f.loop->post([&] { std::filesystem::resize_file(f.dir.file("vlorn.cmp"), 0); });
    f.convert("41");
    EXPECT_EQ(f.dialogs.messages().back(), "57Unspecified error! Cannot complete conversion.");
    EXPECT_EQ(f.dir.read("out"), "earlier");
    EXPECT_EQ(testing::partial_files_in(f.dir.path()), 0);
    f.take_written();

    f.convert("4142", "no/such/folder/out");
    EXPECT_EQ(f.dialogs.messages().back(), "75Unspecified error! Cannot complete conversion.");
    EXPECT_EQ(f.dialogs.shown.back().icon, Icon::stop);
    EXPECT_TRUE(f.dir.exists("vlorn.cmp"));
    EXPECT_EQ(f.take_written(), "Receiver::Conversion in progress.Please wait!");

    f.convert(std::nullopt);
    EXPECT_EQ(f.dialogs.messages().back(), "53Unspecified error! Cannot complete conversion.");
    EXPECT_EQ(f.dir.read("out"), "earlier");
}

} // namespace
} // namespace quillon
