// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows_fixture.h"

#include <filesystem>

namespace quillon::testing {

WindowsFixture::WindowsFixture(Pictures pictures) {
    if (pictures == Pictures::generated)
        std::filesystem::copy(std::string(QUILLON_PROGRAM_DIR) + "/images", dir.file("images"));
    EXPECT_TRUE(start_on_port1());
    front = std::make_unique<FrontEnd>(p(), nullptr);
    front->main.show();
}

QPlainTextEdit *WindowsFixture::focused_input() {
    auto *input = widget<QPlainTextEdit>("txtsend");
    if (input) input->setFocus();
    return input;
}

} // namespace quillon::testing
