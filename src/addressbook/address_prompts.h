// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <exception>
#include <string>

namespace quillon {

class AddressStore;
class Dialler;
class Dialogs;
class FileLocations;
class MainForm;
struct SharedState;

// What the user answered in the input line: the text without blanks and
// line breaks at either end.
std::string prompt_answer(const std::string& typed);
// "Database Error !" with the book's file and why on a second line, so a
// change that could not be saved never goes without a word.
std::string database_error(const std::string& book, const std::exception& why);

// The Address Book menu, its prompt dialogue in the input line, and the grid.
class AddressPrompts {
public:
    AddressPrompts(MainForm& form, SharedState& state, AddressStore& book, Dialler& dialler, Dialogs& dialogs,
                   const FileLocations& files)
        : form_(form), state_(state), book_(book), dialler_(dialler), dialogs_(dialogs), files_(files) {}

    void mnuaddessadd_Click();
    void mnuaddressedit_Click();
    void mnuaddressremove_Click();
    void mnuaddressfind_Click();
    void mnuaddressall_Click();
    // The Enter key in txtsend while lblchat shows a prompt.
    void answer_prompt();
    void DBGrid1_RowColChange(std::size_t row);

private:
    void take_answer();
    bool caption_is(const char* caption) const;
    void not_found();

    MainForm& form_;
    SharedState& state_;
    AddressStore& book_;
    Dialler& dialler_;
    Dialogs& dialogs_;
    const FileLocations& files_;
};

} // namespace quillon
