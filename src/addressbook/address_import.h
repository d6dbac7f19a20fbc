// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/address_store.h"

#include <string>
#include <vector>

namespace quillon {

class Dialogs;
class EventLoop;
class FileLocations;
class MainForm;

// What an import takes from a file and what it leaves.
struct ImportChoice {
    std::vector<AddressRow> to_add;
    int no_name = 0;
    int no_number = 0;
    int duplicate = 0; // a name and number the book already holds
    // Names whose number holds more than dialling characters: a line break
    // or ';' in it would reach the modem as a command.
    std::vector<std::string> not_dialable;
};

// Entries without a name or number, and those the book holds already (the
// name in any letter case, the same number), stay out. Repeats inside the
// file are kept, so a book exported and imported comes back whole.
ImportChoice choose_entries(const std::vector<AddressRow>& book, const std::vector<AddressRow>& file);
// "3 entries added, 2 skipped (1 without a name, 1 already in the book)."
// followed by the names refused for their numbers.
std::string import_summary(const ImportChoice& choice);

// The Address Book menu's "Import..." and "Export...": the whole book from or
// to a CSV or vCard file.
class AddressImport {
public:
    AddressImport(EventLoop& loop, Dialogs& dialogs, const FileLocations& files, MainForm& form, AddressStore& book)
        : loop_(loop), dialogs_(dialogs), files_(files), form_(form), book_(book) {}

    void mnuaddressimport_Click();
    void mnuaddressexport_Click();

private:
    EventLoop& loop_;
    Dialogs& dialogs_;
    const FileLocations& files_;
    MainForm& form_;
    AddressStore& book_;
};

} // namespace quillon
