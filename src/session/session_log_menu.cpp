// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/session_log_menu.h"

#include "base/dialogs.h"
#include "base/media.h"
#include "session/session_log.h"

namespace quillon {

void SessionLogMenu::mnusessionlog_Click() {
    if (!log_.make_folder()) {
        dialogs_.message("The session log folder " + log_.folder() + " cannot be made.", Icon::stop);
    } else if (!media_.open_folder(log_.folder())) {
        dialogs_.message("No program to open folders with is installed (the package xdg-utils brings one). The "
                         "session log is in " + log_.folder() + ".",
                         Icon::information);
    }
}

} // namespace quillon
