// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillon {

class Dialogs;
class FileLocations;
class HelpForm;
class Media;

// Frmhelp: the help text and picture, read each time the window loads.
class HelpWindow {
public:
    HelpWindow(HelpForm& form, Media& media, Dialogs& dialogs, const FileLocations& files)
        : form_(form), media_(media), dialogs_(dialogs), files_(files) {}

    void mnuhelp_Click();
    void Form_Load();
    void Form_Unload();

private:
    HelpForm& form_;
    Media& media_;
    Dialogs& dialogs_;
    const FileLocations& files_;
    bool loaded_ = false;
};

} // namespace quillon
