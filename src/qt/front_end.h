// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "qt/call_history_view.h"
#include "qt/conversation_view.h"
#include "qt/convert_window_view.h"
#include "qt/dbus_notifier.h"
#include "qt/help_window_view.h"
#include "qt/main_window_view.h"

namespace quillon {

class Program;
class QtDialogs;

// The windows of one program, wired to its forms: the main window, the help
// window, the conversion window and the call history; the status bar sits
// at the foot of the main window. Second windows have no parent, so
// disabling the main window leaves them usable.
class FrontEnd {
public:
    FrontEnd(Program &program, QtDialogs *dialogs);
    ~FrontEnd();
    FrontEnd(const FrontEnd &) = delete;
    FrontEnd &operator=(const FrontEnd &) = delete;

    MainWindowView main;
    HelpWindowView help;
    ConvertWindowView convert;
    DbusNotifier notifier;
    CallHistoryView history;
    ConversationView conversation;

private:
    Program &program_;
};

} // namespace quillon
