// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillon {

class Dialogs;
class Media;
class SessionLog;

// The Session Log menu item: the log's folder in the desktop's file manager.
class SessionLogMenu {
public:
    SessionLogMenu(SessionLog& log, Media& media, Dialogs& dialogs) : log_(log), media_(media), dialogs_(dialogs) {}

    // Makes the folder first, so a log not yet written opens too.
    void mnusessionlog_Click();

private:
    SessionLog& log_;
    Media& media_;
    Dialogs& dialogs_;
};

} // namespace quillon
