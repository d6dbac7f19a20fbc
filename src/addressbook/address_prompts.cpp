// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/address_prompts.h"

#include "app/program.h"

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
    p_.frmmain.txtsend.set_locked(false);
    p_.frmmain.lblchat.set_caption(add_name);
}

void AddressPrompts::mnuaddressedit_Click() { p_.frmmain.lblchat.set_caption(edit_name); }
void AddressPrompts::mnuaddressremove_Click() { p_.frmmain.lblchat.set_caption(remove_name); }
void AddressPrompts::mnuaddressfind_Click() { p_.frmmain.lblchat.set_caption(find_name); }

void AddressPrompts::mnuaddressall_Click() {
    MainForm& f = p_.frmmain;
    f.lblchat.set_caption(grid_shown);
    f.DBGrid1.reload();
    f.DBGrid1.set_visible(true);
    f.cmdre.set_enabled(true);
    f.cmdre.set_picture(p_.files.program_file("images\\revert.jpg"));
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
        p_.message(database_error(p_.files.address_book(), error), Icon::stop);
    }
}

// Each test reads the caption as the one before left it, so a step that
// asks the next question never answers it in the same key press.
void AddressPrompts::take_answer() {
    MainForm& f = p_.frmmain;
    SharedState& s = p_.state;
    AddressStore& book = *p_.dataaddress;
    std::string answer = prompt_answer(f.txtsend.text());

    if (caption_is(add_phone)) {
        s.entry_phone = answer;
        f.lblchat.set_caption(chat_label);
        f.txtsend.set_text(" ");
        book.add(s.entry_name, s.entry_phone);
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
        book.edit_current_phoneno(s.entry_phone);
        f.DBGrid1.reload();
        f.txtsend.set_text("");
        f.txtreceived.set_text("Entry edited.");
    }
    if (caption_is(edit_name)) {
        s.entry_name = answer;
        if (!book.find_first(s.entry_name)) return not_found();
        f.txtsend.set_text("");
        f.txtreceived.set_text(book.current_phoneno());
        f.lblchat.set_caption(edit_phone);
    }
    if (caption_is(remove_name)) {
        s.entry_name = answer;
        if (!book.find_first(s.entry_name)) return not_found();
        book.delete_current();
        f.txtreceived.set_text("Entry deleted.");
        f.txtsend.set_text("");
        f.lblchat.set_caption(chat_label);
        book.refresh();
        f.DBGrid1.reload();
    }
    if (caption_is(find_name)) {
        s.entry_name = answer;
        book.move_first();
        if (!book.find_first(s.entry_name)) return not_found();
        f.txtsend.set_text("");
        f.lblchat.set_caption(chat_label);
        f.txtsend.set_text(book.current_phoneno());
        s.dial_number = f.txtsend.text();
        s.dial_entry = book.current_name();
        p_.dialler.follow_dial_number();
    }
}

bool AddressPrompts::caption_is(const char* caption) const { return p_.frmmain.lblchat.caption() == caption; }

void AddressPrompts::not_found() {
    MainForm& f = p_.frmmain;
    f.txtreceived.set_text("Sorry! No such entry.");
    f.txtsend.set_text("");
    f.lblchat.set_caption(chat_label);
}

void AddressPrompts::DBGrid1_RowColChange(std::size_t row) {
    AddressStore& book = *p_.dataaddress;
    try {
        book.move_to(row);
        p_.state.dial_number = book.current_phoneno();
        p_.state.dial_entry = book.current_name();
        p_.dialler.follow_dial_number();
    } catch (const StoreError&) {
        try {
            book.move_first();
        } catch (const StoreError&) {
            // An empty book: choosing nothing changes nothing.
        }
    }
}

} // namespace quillon
