// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/address_prompts.h"

#include "base/address_store.h"
#include "base/dialogs.h"
#include "base/file_locations.h"
#include "base/main_form.h"
#include "base/shared_state.h"
#include "modem/dialler.h"

namespace quillon {

namespace {
constexpr const char* chat_label = "Your chat message goes here";
constexpr const char* add_name = "Enter new name here:";
constexpr const char* add_phone = "Enter phone no.:";
constexpr const char* edit_name = "Enter name :";
constexpr const char* edit_phone = "Enter new phone no.:";
constexpr const char* remove_name = "Enter name to be removed :";
constexpr const char* find_name = "Enter name to be found :";
constexpr const char* grid_shown = "All entries shown :";
} // namespace

std::string prompt_answer(const std::string& typed) {
    const char* blank = " \r\n";
    std::size_t first = typed.find_first_not_of(blank);
    if (first == std::string::npos) return "";
    return typed.substr(first, typed.find_last_not_of(blank) - first + 1);
}

std::string database_error(const std::string& book, const std::exception& why) {
    return "Database Error !\n" + book + ": " + why.what();
}

void AddressPrompts::mnuaddessadd_Click() {
    form_.txtsend.set_locked(false);
    form_.lblchat.set_caption(add_name);
}

void AddressPrompts::mnuaddressedit_Click() { form_.lblchat.set_caption(edit_name); }
void AddressPrompts::mnuaddressremove_Click() { form_.lblchat.set_caption(remove_name); }
void AddressPrompts::mnuaddressfind_Click() { form_.lblchat.set_caption(find_name); }

void AddressPrompts::mnuaddressall_Click() {
    MainForm& f = form_;
    f.lblchat.set_caption(grid_shown);
    f.DBGrid1.reload();
    f.DBGrid1.set_visible(true);
    f.cmdre.set_enabled(true);
    f.cmdre.set_picture(files_.program_file("images\\revert.jpg"));
    f.cmdre.set_tooltip("Revert to chat mode");
    f.mnuaddress.set_enabled(false);
}

void AddressPrompts::answer_prompt() {
    try {
        take_answer();
    } catch (const EntryGone&) {
        // Another copy removed the entry since it was found.
        not_found();
    } catch (const StoreError& error) {
        dialogs_.message(database_error(files_.address_book(), error), Icon::stop);
    }
}

// Each test reads the caption as the one before left it, so a step that
// asks the next question never answers it in the same key press.
void AddressPrompts::take_answer() {
    MainForm& f = form_;
    SharedState& s = state_;
    std::string answer = prompt_answer(f.txtsend.text());

    if (caption_is(add_phone)) {
        s.entry_phone = answer;
        f.lblchat.set_caption(chat_label);
        f.txtsend.set_text(" ");
        book_.add(s.entry_name, s.entry_phone);
        f.DBGrid1.reload();
        f.txtreceived.set_text("New entry created.");
    }
    if (caption_is(add_name)) {
        s.entry_name = answer;
        f.txtsend.set_text("");
        f.lblchat.set_caption(add_phone);
    }
    if (caption_is(edit_phone)) {
        s.entry_phone = answer;
        f.lblchat.set_caption(chat_label);
        book_.edit_current_phoneno(s.entry_phone);
        f.DBGrid1.reload();
        f.txtsend.set_text("");
        f.txtreceived.set_text("Entry edited.");
    }
    if (caption_is(edit_name)) {
        s.entry_name = answer;
        if (!book_.find_first(s.entry_name)) return not_found();
        f.txtsend.set_text("");
        f.txtreceived.set_text(book_.current_phoneno());
        f.lblchat.set_caption(edit_phone);
    }
    if (caption_is(remove_name)) {
        s.entry_name = answer;
        if (!book_.find_first(s.entry_name)) return not_found();
        book_.delete_current();
        f.txtreceived.set_text("Entry deleted.");
        f.txtsend.set_text("");
        f.lblchat.set_caption(chat_label);
        book_.refresh();
        f.DBGrid1.reload();
    }
    if (caption_is(find_name)) {
        s.entry_name = answer;
        book_.move_first();
        if (!book_.find_first(s.entry_name)) return not_found();
        f.txtsend.set_text("");
        f.lblchat.set_caption(chat_label);
        f.txtsend.set_text(book_.current_phoneno());
        s.dial_number = f.txtsend.text();
        s.dial_entry = book_.current_name();
        dialler_.follow_dial_number();
    }
}

bool AddressPrompts::caption_is(const char* caption) const { return form_.lblchat.caption() == caption; }

void AddressPrompts::not_found() {
    MainForm& f = form_;
    f.txtreceived.set_text("Sorry! No such entry.");
    f.txtsend.set_text("");
    f.lblchat.set_caption(chat_label);
}

void AddressPrompts::DBGrid1_RowColChange(std::size_t row) {
    try {
        book_.move_to(row);
        state_.dial_number = book_.current_phoneno();
        state_.dial_entry = book_.current_name();
        dialler_.follow_dial_number();
    } catch (const StoreError&) {
        try {
            book_.move_first();
        } catch (const StoreError&) {
            // An empty book: choosing nothing changes nothing.
        }
    }
}

} // namespace quillon
