// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/form.h"

namespace quillon {

// Frmhistory: the list of past calls and the button that takes a number
// from it for dialling.
class CallHistoryForm : public Form {
public:
    CallHistoryForm() : Form("Frmhistory", "Quillon -- Call History") {
        add(grdcalls);
        add(cmdhistorydial);
        cmdhistorydial.set_caption("Dial");
        cmdhistorydial.set_tooltip("Put the number up for dialling");
        cmdhistorydial.set_enabled(false);
    }
    Grid grdcalls{"grdcalls"};
    Button cmdhistorydial{"cmdhistorydial"};
};

} // namespace quillon
