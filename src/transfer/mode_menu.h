// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/dialogs.h"
#include "base/main_form.h"
#include "base/modes.h"
#include "base/shared_state.h"

namespace quillon {

// The "Operating Mode" menu: chat or file transfer, the form and the file
// to send. Nothing here writes to the line.
class ModeMenu {
public:
    ModeMenu(Dialogs& dialogs, MainForm& form, SharedState& state) : dialogs_(dialogs), form_(form), state_(state) {}

    void mnumodechat_Click();
    void mnumodefile_Click();
    void filemodebinary_Click();
    void filemodetext_Click();

private:
    void choose_form(FileForm form);
    void choose_file_to_send();

    Dialogs& dialogs_;
    MainForm& form_;
    SharedState& state_;
};

} // namespace quillon
