// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/animation_view.h"
#include "qt/picture_box.h"
#include "windows_fixture.h"

#include <QImage>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTest>

#include <filesystem>

namespace quillon::testing {
namespace {

void write_photo(WindowsFixture &t, Qt::GlobalColor colour) {
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(QString::fromStdString(t.dir.file("images/photo.jpg")), "JPG"));
}

TEST(HelpWindowView, ComesAndGoesWithItsFormAndShowsBothFilesAsTheyAreNow) {
    WindowsFixture t(WindowsFixture::Pictures::generated);
    // Control codes show as pictures and line separators as replacements, never act.
    t.dir.write("quillon.txt", "Quillon help\r\n\r\nDial\twith the keypad\x1b\xC2\x85\xE2\x80\xA8.");
    write_photo(t, Qt::red);
    QWidget &help = t.front->help;
    EXPECT_FALSE(help.isVisible());
    t.w().mnuhelp.choose();
    ASSERT_TRUE(help.isVisible());
    auto *picture = t.widget<PictureBox>("ImagePic", &help);
    auto *text = t.widget<QPlainTextEdit>("Txthelp", &help);
    ASSERT_TRUE(picture && text);
    EXPECT_GT(picture->picture().toImage().pixelColor(16, 16).red(), 200);
    const QString shown = QString::fromUtf16(u"Quillon help\n\nDial\twith the keypad\u241b\ufffd\ufffd.");
    EXPECT_EQ(text->toPlainText(), shown);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_TRUE(t.front->main.isEnabled()) << "not modal";
    t.dir.write("quillon.txt", "read again");
    t.w().mnuhelp.choose();
    EXPECT_EQ(text->toPlainText(), shown) << "an open window reads nothing again";

    help.close();
    EXPECT_FALSE(t.p().frmhelp.visible());
    EXPECT_FALSE(help.isVisible());
    write_photo(t, Qt::blue); // same name, same size, same second
    t.w().mnuhelp.choose();
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(text->toPlainText(), "read again");
    EXPECT_GT(picture->picture().toImage().pixelColor(16, 16).blue(), 200);

    t.front->main.raise();
    t.front->main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&t.front->main));
    t.w().mnuhelp.choose();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&help)) << "Help brings the open window forward";
}

TEST(ConvertWindowView, ShowsTheConversionWithItsAnimationOverADisabledMainWindow) {
    WindowsFixture t(WindowsFixture::Pictures::generated);
    QWidget &convert = t.front->convert;
    // A bad digit pair halfway; the conversion yields with its window up,
    // and this look runs then.
    std::string spool = std::string(4096, 'A') + "zz" + std::string(4094, '0');
    t.dir.write("vlorn.cmp", spool);
    bool looked = false;
    t.p().loop.post([&] {
        looked = true;
        EXPECT_TRUE(convert.isVisible());
        auto *animation = t.widget<AnimationView>("Animation1", &convert);
        ASSERT_TRUE(animation);
        EXPECT_EQ(animation->frame_count(), 12);
        EXPECT_TRUE(animation->running());
        EXPECT_TRUE(t.widget<QProgressBar>("ProgressBar1", &convert)->isVisible());
        EXPECT_FALSE(t.front->main.isEnabled());
        EXPECT_TRUE(convert.isEnabled());
    });
    t.p().transfer.reconvert_file(t.dir.file("received.bin"));
    EXPECT_TRUE(looked);
    EXPECT_FALSE(convert.isVisible());
    EXPECT_TRUE(t.front->main.isEnabled());
    EXPECT_FALSE(t.widget<AnimationView>("Animation1", &convert)->running());
    EXPECT_TRUE(t.dialogs.messages().at(0).starts_with("Unexpected Error! Cannot continue. 1 pair "));
    EXPECT_EQ(t.dialogs.messages().back(), "Conversion complete!");
}

} // namespace
} // namespace quillon::testing
