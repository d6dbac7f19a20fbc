// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <exception>
#include <string>

namespace quillon {

class Program;

// What the user answered in the input line: the text without blanks and
// line breaks at either end.
std::string prompt_answer(const std::string& typed);
// "Database Error !" with the book's file and why on a second line, so a
// change that could not be saved never goes without a word.
std::string database_error(const std::string& book, const std::exception& why);

// The Address Book menu, its prompt dialogue in the input line, and the grid.
class AddressPrompts {
public:
    explicit AddressPrompts(Program& program) : p_(program) {}

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

    Program& p_;
};

} // namespace quillon
