// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "addressbook/address_import.h"
#include "addressbook/address_prompts.h"
#include "base/address_store.h"
#include "base/dialogs.h"
#include "base/event_loop.h"
#include "base/file_locations.h"
#include "base/form_timer.h"
#include "base/instance_lock.h"
#include "base/main_form.h"
#include "app/main_window.h"
#include "base/media.h"
#include "app/port_menu.h"
#include "base/shared_state.h"
#include "chat/chat.h"
#include "help/help_window.h"
#include "modem/caller_id_watch.h"
#include "modem/comm_handler.h"
#include "modem/dialler.h"
#include "modem/line_options.h"
#include "modem/line_supervision.h"
#include "modem/lost_device.h"
#include "modem/serial_control.h"
#include "session/auto_redial.h"
#include "base/call_events.h"
#include "session/call_notices.h"
#include "session/call_history.h"
#include "session/call_history_form.h"
#include "session/call_history_window.h"
#include "session/call_tracker.h"
#include "session/conversation.h"
#include "session/conversation_window.h"
#include "session/line_status.h"
#include "session/session_clock.h"
#include "session/session_log.h"
#include "session/session_log_menu.h"
#include "session/status_model.h"
#include "transfer/file_transfer.h"
#include "transfer/own_files.h"
#include "transfer/protocols/protocol_transfer.h"

#include <functional>
#include <memory>
#include <string>

namespace quillon {

// What a running copy needs from the machine it runs on.
struct Platform {
    EventLoop& loop;
    Dialogs& dialogs;
    Media& media;
    LineOpener open_line;
    std::function<std::unique_ptr<AddressStore>()> make_store;
    // Where the settings, the address book, the spool, help and images live.
    FileLocations files;
    // The /dev folder searched for serial ports when the settings file is
    // missing at start; empty: a missing file stays missing.
    std::string first_run_devices;
};

// One running copy of Quillon without its windows: the forms' models, the
// shared state, the serial control, the store and every handler.
class Program {
public:
    explicit Program(Platform platform);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // A message box with the caption "Quillon".
    void message(const std::string& text, Icon icon) { dialogs.message(text, icon); }

    EventLoop& loop;
    Dialogs& dialogs;
    Media& media;
    const FileLocations files;
    // Taken first: whether this copy may use the files at all.
    InstanceLock instance{files.instance_lock()};

    MainForm frmmain;
    HelpForm frmhelp;
    ConvertForm frmconvert;
    SharedState state;
    // The handlers tell this what happens to calls; features listen.
    CallEventHub events;
    SerialControl MSComm1;
    std::unique_ptr<AddressStore> dataaddress;
    FormTimer Timer1;
    FormTimer Timer2;

    MainWindow main_window{*this};
    PortMenu port_menu{*this};
    CommHandler comm_handler{loop, dialogs, frmmain, state, events, MSComm1, Timer2, transfer, caller_ids, dialler};
    Dialler dialler{loop, files, frmmain, state, events, MSComm1, comm_handler};
    LineSupervision supervision{frmmain, state, events, MSComm1, comm_handler, dialler, transfer};
    LostDevice lost_device{loop, dialogs, frmmain, state, supervision};
    LineOptions line_options{dialogs, files, frmmain, MSComm1};
    Chat chat{frmmain, state, MSComm1, events, transfer};
    FileTransfer transfer{loop,
                          dialogs,
                          media,
                          files,
                          frmmain,
                          frmconvert,
                          state,
                          events,
                          MSComm1,
                          Timer2,
                          dialler,
                          comm_handler,
                          [this](const std::string& path) {
                              return is_own_file(files, session_log.folder(), path);
                          }};
    // ZMODEM, YMODEM and XMODEM, for peers that are not Quillon.
    ProtocolTransfer protocols{loop,
                               dialogs,
                               frmmain,
                               state,
                               MSComm1,
                               events,
                               [this] { return transfer.in_progress(); },
                               [this](const std::string& path) {
                                   return is_own_file(files, session_log.folder(), path);
                               }};
    AddressPrompts address_prompts{frmmain, state, *dataaddress, dialler, dialogs, files};
    HelpWindow help{frmhelp, media, dialogs, files};
    CallerIdWatch caller_ids{state, events};
    AutoRedial auto_redial{loop, dialogs, files, frmmain, state, dialler};
    AddressImport address_import{loop, dialogs, files, frmmain, *dataaddress};

    // What the program keeps of its calls, listening to events.
    CallHistoryForm frmhistory;
    SessionClock session_clock{loop};
    CallTracker calls{session_clock};
    // Desktop notifications; the front end gives it a notifier.
    CallNotices notices{calls};
    LineStatus line_status{MSComm1, state, auto_redial};
    StatusModel status{loop, calls, [this](StatusReading& r) { line_status.read(r); }};
    SessionLog session_log{files.data_dir() + "/sessions", session_clock, loop};
    SessionLogMenu session_log_menu{session_log, media, dialogs};
    CallHistory call_history{files.address_book()};
    CallHistoryWindow history_window{frmhistory, call_history, *dataaddress, state, dialler};
    Conversation conversation{session_clock, state.line_buffer};
    ConversationForm frmconversation;
    ConversationWindow conversation_window{loop, frmconversation, conversation};

private:
    void wire_handlers();
    void wire_session();
};

} // namespace quillon
