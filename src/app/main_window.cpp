// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_window.h"

#include "app/program.h"
#include "app/port_advice.h"
#include "base/program_end.h"
#include "app/settings.h"
#include "base/text_number.h"

#include <cstdio>

namespace quillon {

void MainWindow::Form_Load() {
    SharedState& s = p_.state;
    MainForm& f = p_.frmmain;

    // What is wrong with the book is said once the modem is set up, so that
    // a box left open (a read-only home, nobody at the screen) holds nothing
    // back.
    std::string book_error;
    std::string book_notice;
    if (!p_.instance.held()) {
        std::string settings = p_.files.settings_file();
        p_.message("Quillon already runs with the files in " + settings.substr(0, settings.rfind('/')) +
                       ". Use its window; this copy ends.",
                   Icon::information);
        end_program();
    }
    if (std::string note = p_.instance.take_note(); !note.empty()) p_.message(note, Icon::information);
    // Ours alone now: no other copy can be receiving into it.
    std::remove(p_.files.spool_file().c_str());
    s.current_mode = OperatingMode::chat;
    f.mnuaddress.set_enabled(false);
    f.mnumode.set_enabled(false);

    try {
        p_.dataaddress->open(p_.files.address_book());
        f.mnuaddress.set_enabled(true);
        // Said at start, not at the first entry typed into it.
        if (auto why = p_.dataaddress->why_read_only())
            book_notice = "The address book " + p_.files.address_book() + " is read-only: " + *why +
                          ". Its entries can be found and dialled, but nothing can be added, edited or removed.";
    } catch (const std::exception& error) {
        // The rest of the start-up still runs: without it the port stays
        // closed and the settings would be written back blank.
        book_error = "Unable to load address book!\n" + p_.files.address_book() + ": " + error.what();
        f.mnuaddress.set_enabled(false);
    }

    s.modem_init_state = 1;
    s.connected = 0;
    s.send_block = 0;
    s.recv_block = 1;

    if (!p_.MSComm1.port_open()) {
        try {
            std::string value;
            read_setting(p_, "PORTNO.", value);
            p_.MSComm1.set_comm_port(static_cast<int>(round_half_even(*to_number(value))));
            p_.MSComm1.set_port_open(true);
            s.port_number = value;
            s.port_number_from_file = true;
            auto n = to_number(s.port_number);
            for (int i = 1; i <= 4; ++i) {
                if (*n == i) {
                    checkmark_port(i);
                    break;
                }
            }
        } catch (const LineError& e) {
            // Say why before asking; the same reason once in a row.
            std::string text = port_failure_text(e, p_.files.settings_file());
            bool read_help = text != told_port_failure_ && p_.dialogs.ask_yes_no(text);
            told_port_failure_ = text;
            if (read_help) read_help_first();
            // A port picked from the menu while the help was up answers the prompt.
            if (p_.MSComm1.port_open()) return Form_Load();
            port_prompt();
            return;
        } catch (const std::exception&) {
            port_prompt();
            return;
        }
    }

    try {
        std::string value;
        read_setting(p_, "DIALMODE", value);
        s.dial_mode = value;
        s.dial_mode_from_file = true;
        apply_dial_mode();
        p_.supervision.check_modem_ready();
        if (s.modem_ready == 0) p_.dialler.disable_dial_controls();
        p_.MSComm1.output(modem_setup);
    } catch (const std::exception&) {
        s.dial_mode = "pulse";
        s.dial_mode_from_file = false;
        p_.message("Error In setting dialling mode.Mode Reset to pulse. ", Icon::information);
    }
    if (!book_error.empty()) p_.message(book_error, Icon::stop);
    if (!book_notice.empty()) p_.message(book_notice, Icon::information);
}

void MainWindow::apply_dial_mode() {
    const std::string& mode = p_.state.dial_mode;
    MainForm& f = p_.frmmain;
    if (mode.compare(0, 5, "pulse") == 0) {
        f.mnudialpulse.set_checked(true);
        f.mnudialtone.set_checked(false);
    }
    if (mode.compare(0, 4, "tone") == 0) {
        f.mnudialpulse.set_checked(false);
        f.mnudialtone.set_checked(true);
    }
}

// The answer stays out of port_number until a port opens with it, so a
// rejected answer never reaches quillon.ini.
void MainWindow::port_prompt() {
    for (;;) {
        std::string answer = p_.dialogs.input_box(
            "Please specify the port no. to which the modem is connected.(1/2/3/4)", "Quillon", "");
        if (answer.empty()) end_program();
        auto n = to_number(answer);
        for (int i = 1; i <= 4; ++i) {
            if (n && *n == i) {
                init_portsetting(i);
                Form_Load();
                return;
            }
        }
    }
}

void MainWindow::init_portsetting(int i) {
    try {
        p_.MSComm1.set_comm_port(i);
        p_.MSComm1.set_port_open(true);
        p_.state.port_number = std::to_string(i);
        p_.state.port_number_from_file = false;
        checkmark_port(i);
    } catch (const LineError& e) {
        // Why the answer failed; the start-up then says why its own port did.
        p_.message(std::string(e.what()) + " !", Icon::stop);
        Form_Load();
    } catch (const std::exception&) {
        Form_Load();
    }
}

void MainWindow::checkmark_port(int i) {
    if (i < 1 || i > 4) return;
    for (int n = 1; n <= 4; ++n) p_.frmmain.port_item(n).set_checked(n == i);
}

void MainWindow::configuration_error(const std::string& text) {
    configuration_failed_ = true;
    p_.message(text, Icon::stop);
    end_program(configuration_error_status);
}

void MainWindow::Form_Unload() {
    if (configuration_failed_) end_program(configuration_error_status);
    const SharedState& s = p_.state;
    try {
        // A setting this run never took goes back as the file had it, or
        // as a default, so the next start takes it.
        std::string port_field = s.port_number.empty()   ? kept_setting(p_, "PORTNO.")
                                 : s.port_number_from_file ? s.port_number
                                                           : fixed_field(s.port_number, 10);
        std::string mode_field = s.dial_mode.empty()   ? kept_setting(p_, "DIALMODE")
                                 : s.dial_mode_from_file ? s.dial_mode
                                                         : fixed_field(s.dial_mode, 10);

        if (p_.MSComm1.port_open()) p_.MSComm1.set_port_open(false);
        // No box here: an end asked for by a signal or a logout must not
        // wait on one.
        if (!save_setting(p_, "PORTNO.", port_field) || !save_setting(p_, "DIALMODE", mode_field))
            settings_not_saved();
    } catch (const std::exception&) {
    }
    end_program();
}

void MainWindow::settings_not_saved() {
    std::string what = "could not save its settings to " + p_.files.settings_file();
    std::fprintf(stderr, "quillon: %s\n", what.c_str());
    p_.instance.leave_note("Quillon " + what + " when it last ended.");
}

void MainWindow::Timer1_Timer() { p_.supervision.check_carrier(); }

// The prompt is modal and would keep the help out of reach: it comes back
// once the help is closed.
void MainWindow::read_help_first() {
    p_.help.mnuhelp_Click();
    while (p_.frmhelp.visible()) p_.loop.wait_for_events(1);
}

} // namespace quillon
