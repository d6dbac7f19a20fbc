// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/qt_dialogs.h"
#include "window_probe.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "support/temp_dir.h"

namespace quillon::testing {
namespace {

struct BoxSeen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QWidget *parent = nullptr;
};

// Shows the next message box's look, then presses one of its buttons.
void press_on_next_box(BoxSeen &seen, QMessageBox::StandardButton press) {
    on_next_window<QMessageBox>([&seen, press](QMessageBox &box) {
        seen = {box.windowTitle(), box.text(), box.icon(), box.standardButtons(), box.parentWidget()};
        box.button(press)->click();
    });
}

TEST(QtDialogs, BoxesSitOverTheMainWindowUnlessItIsDisabledAndGiveTheAnswer) {
    QtDialogs dialogs;
    QWidget main;
    main.show();
    dialogs.set_parent(&main);
    BoxSeen seen;
    press_on_next_box(seen, QMessageBox::Ok);
    dialogs.message("<b>not markup</b>\r\n2 lines", Icon::none);
    EXPECT_EQ(seen.parent, &main);
    EXPECT_EQ(seen.text, "<b>not markup</b>\r\n2 lines");
    main.setEnabled(false);
    press_on_next_box(seen, QMessageBox::Ok);
    dialogs.message("a disabled owner would disable the box", Icon::none);
    EXPECT_EQ(seen.parent, nullptr);

    // The input and file boxes give the answer, with an owner or without;
    // cancel gives nothing.
    dialogs.set_parent(nullptr);
    QString preset;
    on_next_window<QInputDialog>([&](QInputDialog &box) {
        preset = box.textValue();
        box.setTextValue("3");
        box.accept();
    });
    EXPECT_EQ(dialogs.input_box("Please specify the port no.", "Quillon", "2"), "3");
    EXPECT_EQ(preset, "2");

    on_next_window<QInputDialog>([](QInputDialog &box) {
        box.setTextValue("typed, then cancelled");
        box.reject();
    });
    EXPECT_EQ(dialogs.input_box("Port?", "Quillon", ""), "");

    TempDir dir;
    on_next_window<QFileDialog>([&](QFileDialog &box) {
        box.selectFile(QString::fromStdString(dir.file("new.bin")));
        static_cast<QDialog &>(box).accept(); // public on QDialog
    });
    EXPECT_EQ(dialogs.save_file("", dir.file("new.bin")), dir.file("new.bin"));
    on_next_window<QFileDialog>([](QFileDialog &box) { box.reject(); });
    EXPECT_EQ(dialogs.save_file("", dir.file("x.bin")), std::nullopt);
}

TEST(QtDialogs, FileFiltersInQtsForm) {
    struct Row {
        const char *filter, *qt;
    } rows[] = {
        {"", ""},
        {"Text (*.txt)|*.txt", "Text (*.txt)"},
        {"Text|*.txt", "Text (*.txt)"},
        {"Pictures|*.jpg;*.png|All|*.*", "Pictures (*.jpg *.png);;All (*.*)"},
        {"Anything", "Anything (*)"},
        {"Blank| ", "Blank (*)"},
    };
    for (const Row &r : rows) EXPECT_EQ(qt_file_filter(r.filter), QString::fromLatin1(r.qt)) << r.filter;
}

} // namespace
} // namespace quillon::testing
