// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillon {

class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The current row is no longer in the book: another copy of the program
// removed it since it was found.
class EntryGone : public StoreError {
public:
    EntryGone() : StoreError("The entry is no longer in the address book.") {}
};

struct AddressRow {
    std::string name;
    std::string phoneno;
};

// The address book: one table of (Name, Phoneno) rows with one current row.
// Every failing operation throws StoreError. Each operation reads or
// changes the file itself, so two copies of the program may share it.
class AddressStore {
public:
    virtual ~AddressStore() = default;

    // Opens (creating when missing) the book file and re-reads the table.
    virtual void open(const std::string& path) = 0;
    // Why the open book can only be read, or nullopt when it can be changed.
    virtual std::optional<std::string> why_read_only() { return std::nullopt; }
    virtual void refresh() = 0;

    virtual void add(const std::string& name, const std::string& phoneno) = 0;
    // Replaces the current row's number; EntryGone when the row has gone.
    virtual void edit_current_phoneno(const std::string& phoneno) = 0;
    // EntryGone when the row has gone already.
    virtual void delete_current() = 0;
    // Makes the first row whose Name equals name current; false when none.
    virtual bool find_first(const std::string& name) = 0;
    // Throws on an empty table.
    virtual void move_first() = 0;
    // Throws when there is no current row.
    virtual std::string current_phoneno() = 0;
    virtual std::string current_name() = 0;

    // Every row in table order, for import and export.
    virtual std::vector<AddressRow> rows() = 0;

    // The grid's listing, read as it is shown: list_rows() takes which rows
    // the book holds now, in table order, and says how many; listed_rows()
    // reads some of them (a row removed since shows blank).
    virtual std::size_t list_rows() = 0;
    virtual std::vector<AddressRow> listed_rows(std::size_t first, std::size_t count) = 0;
    // The current row's index in the listing, if it is listed.
    virtual std::optional<std::size_t> current_index() = 0;
    // Makes the row at index of the listing current; throws when that row
    // is no longer in the book.
    virtual void move_to(std::size_t index) = 0;

    // Adds every row or, on failure, none; the first added row becomes
    // current. progress, when given, hears how many are in so far.
    using Progress = std::function<void(std::size_t added)>;
    virtual void add_entries(const std::vector<AddressRow>& rows, const Progress& progress = {}) = 0;
};

} // namespace quillon
