// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program.h"

#include "app/first_run.h"
#include "base/large_blocks.h"
#include "base/port_map.h"
#include "base/program_end.h"
#include "base/switches.h"

namespace quillon {

Program::Program(Platform platform)
    : loop(platform.loop), dialogs(platform.dialogs), media(platform.media), files(platform.files),
      MSComm1(platform.loop, platform.open_line,
              [files = platform.files] { return read_port_map(files.settings_file()); }),
      dataaddress(platform.make_store()), Timer1(platform.loop, 5000), Timer2(platform.loop, 10000) {
    map_large_blocks_apart();
    if (!platform.first_run_devices.empty()) write_first_settings(files.settings_file(), platform.first_run_devices);
    wire_handlers();
    wire_session();
    Timer1.set_enabled(true);
}

Program::~Program() = default;

void Program::wire_handlers() {
    MainForm& f = frmmain;
    Timer1.on_tick = [this] { main_window.Timer1_Timer(); };
    Timer2.on_tick = [this] { main_window.Timer2_Timer(); };
    MSComm1.on_comm = [this] {
        comm_handler.MSComm1_OnComm();
        // A line error or a lost port shows at once; arrivals, which come by
        // the thousand in a transfer, change the bar only through the call
        // events and its own ticks.
        if (MSComm1.comm_event() != comm_event::receive) status.refresh();
    };
    MSComm1.on_device_lost = [this](const std::string& device) {
        lost_device.device_lost(device);
        status.refresh();
    };
    f.on_close = [this] {
        try {
            main_window.Form_Unload();
        } catch (const ProgramEnd&) {
            // The process ends without destructors: the log's last lines first.
            session_log.flush();
            throw;
        }
    };

    for (int d = 0; d < 10; ++d)
        f.Cmddialn[d].on_click = [this, d] {
            auto_redial.stop();
            dialler.Cmddialn_Click(d);
        };
    f.on_dial_backspace = [this] { dialler.remove_last_dial_digit(); };
    f.Cmddialtone.on_click = [this] { dialler.Cmddialtone_Click(); };
    f.cmddial.on_click = [this] { dialler.cmddial_Click(); };
    f.cmdre.on_click = [this] { dialler.cmdre_Click(); };
    // Cancel stops a redial countdown before the hang-up's wait can let it
    // dial. During a ZMODEM, YMODEM or XMODEM session it ends the session
    // and the call stays.
    f.cmdcan.on_click = [this] {
        if (protocols.running()) return protocols.cancel();
        auto_redial.stop();
        dialler.cmdcan_Click();
    };
    f.cmdsend.on_click = [this] {
        if (state.current_mode == OperatingMode::file_transfer && protocols.send()) return;
        chat.cmdsend_Click();
    };
    f.on_txtsend_key_press = [this](int key) { chat.txtsend_KeyPress(key); };
    chat.answer_prompt = [this] { address_prompts.answer_prompt(); };

    for (int n = 1; n <= 4; ++n) f.port_item(n).on_click = [this, n] { port_menu.mnuport_Click(n); };
    f.mnudialpulse.on_click = [this] { port_menu.mnudialpulse_Click(); };
    f.mnudialtone.on_click = [this] { port_menu.mnudialtone_Click(); };
    f.mnuautoredial.on_click = [this] { auto_redial.mnuautoredial_Click(); };

    f.mnuaddessadd.on_click = [this] { address_prompts.mnuaddessadd_Click(); };
    f.mnuaddressedit.on_click = [this] { address_prompts.mnuaddressedit_Click(); };
    f.mnuaddressremove.on_click = [this] { address_prompts.mnuaddressremove_Click(); };
    f.mnuaddressfind.on_click = [this] { address_prompts.mnuaddressfind_Click(); };
    f.mnuaddressall.on_click = [this] { address_prompts.mnuaddressall_Click(); };
    f.mnuaddressimport.on_click = [this] { address_import.mnuaddressimport_Click(); };
    f.mnuaddressexport.on_click = [this] { address_import.mnuaddressexport_Click(); };
    f.DBGrid1.on_row_change = [this](std::size_t row) { address_prompts.DBGrid1_RowColChange(row); };

    f.mnumodechat.on_click = [this] {
        protocols.untick_forms();
        transfer.mnumodechat_Click();
    };
    f.mnumodefile.on_click = [this] { transfer.mnumodefile_Click(); };
    f.filemodebinary.on_click = [this] {
        protocols.untick_forms();
        transfer.filemodebinary_Click();
    };
    f.filemodetext.on_click = [this] {
        protocols.untick_forms();
        transfer.filemodetext_Click();
    };
    f.filemodezmodem.on_click = [this] { protocols.choose_form(FileForm::zmodem); };
    f.filemodeymodem.on_click = [this] { protocols.choose_form(FileForm::ymodem); };
    f.filemodexmodem.on_click = [this] { protocols.choose_form(FileForm::xmodem); };
    f.mnureceiveprotocol.on_click = [this] { protocols.receive_chosen(); };
    comm_handler.divert = [this](const std::string& arrived) { return protocols.take_arrival(arrived); };

    f.mnuhelp.on_click = [this] { help.mnuhelp_Click(); };
    frmhelp.on_close = [this] { help.Form_Unload(); };

    f.mnurtscts.on_click = [this] { line_options.mnurtscts_Click(); };
    f.mnuignorelines.on_click = [this] { line_options.mnuignorelines_Click(); };
    line_options.load_settings();

    // Before the call tracker: a session cut by the call ends inside it.
    events.subscribe(protocols);
    events.subscribe(caller_ids);
    auto_redial.on_countdown = [this](const RedialCountdown&) { status.refresh(); };
    auto_redial.load_settings();
}

void Program::wire_session() {
    // The tracker first: the status bar and the notices read the call from
    // it, and automatic redial hears from it what became of a dial.
    events.subscribe(calls);
    events.subscribe(status);
    events.subscribe(notices);
    calls.add_listener(auto_redial);
    calls.add_listener(status);
    calls.add_listener(session_log);
    calls.add_listener(call_history);
    calls.add_listener(conversation);
    comm_handler.share_line_buffer_with(conversation);

    session_log.set_enabled(read_switch(files.settings_file(), "SESSIONLOG", true));
    // Told after the event that found the fault, so the call is not held up.
    auto notice = [this](const std::string& text) { loop.post([this, text] { message(text, Icon::information); }); };
    session_log.on_failure = notice;
    call_history.on_failure = notice;
    call_history.on_change = [this] { history_window.history_changed(); };

    MainForm& f = frmmain;
    f.mnusessionlog.on_click = [this] { session_log_menu.mnusessionlog_Click(); };
    f.mnucallhistory.on_click = [this] { history_window.mnucallhistory_Click(); };
    frmhistory.grdcalls.on_row_change = [this](std::size_t row) { history_window.grdcalls_RowColChange(row); };
    frmhistory.cmdhistorydial.on_click = [this] { history_window.cmdhistorydial_Click(); };
    frmhistory.on_close = [this] { history_window.Form_Unload(); };

    conversation.on_change = [this] { conversation_window.conversation_changed(); };
    f.mnuconversation.on_click = [this] { conversation_window.mnuconversation_Click(); };
    frmconversation.on_close = [this] { conversation_window.Form_Unload(); };
}

} // namespace quillon
