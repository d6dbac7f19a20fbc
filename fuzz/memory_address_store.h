// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/address_store.h"

#include <strings.h>

#include <algorithm>
#include <memory>

// An address book that lives only in memory and starts empty whatever file
// it is opened on, so a fuzz run touches no disk.
namespace quillon::testing {

class MemoryAddressStore : public AddressStore {
public:
    void open(const std::string &) override {
        rows_.clear();
        current_.reset();
        open_ = true;
    }
    void refresh() override {
        check_open();
        current_ = rows_.empty() ? std::nullopt : std::optional<std::size_t>(0);
    }
    void add(const std::string &name, const std::string &phoneno) override {
        check_open();
        rows_.push_back({name, phoneno});
        current_ = rows_.size() - 1;
    }
    void edit_current_phoneno(const std::string &phoneno) override { current().phoneno = phoneno; }
    void delete_current() override {
        current();
        rows_.erase(rows_.begin() + static_cast<long>(*current_));
        if (rows_.empty())
            current_.reset();
        else if (*current_ >= rows_.size())
            current_ = rows_.size() - 1;
    }
    bool find_first(const std::string &name) override {
        check_open();
        auto same = [&](const AddressRow &row) {
            return row.name.size() == name.size() && strncasecmp(row.name.c_str(), name.c_str(), name.size()) == 0;
        };
        auto found = std::find_if(rows_.begin(), rows_.end(), same);
        if (found != rows_.end()) current_ = static_cast<std::size_t>(found - rows_.begin());
        return found != rows_.end();
    }
    void move_first() override {
        check_open();
        move_to(0);
    }
    std::string current_phoneno() override { return current().phoneno; }
    std::string current_name() override { return current().name; }
    std::vector<AddressRow> rows() override { return rows_; }
    std::size_t list_rows() override { return rows_.size(); }
    std::vector<AddressRow> listed_rows(std::size_t first, std::size_t count) override {
        first = std::min(first, rows_.size());
        count = std::min(count, rows_.size() - first);
        return {rows_.begin() + static_cast<long>(first), rows_.begin() + static_cast<long>(first + count)};
    }
    std::optional<std::size_t> current_index() override { return current_; }
    void add_entries(const std::vector<AddressRow> &rows, const Progress &progress) override {
        if (rows.empty()) return;
        current_ = rows_.size();
        rows_.insert(rows_.end(), rows.begin(), rows.end());
        if (progress) progress(rows.size());
    }
    void move_to(std::size_t index) override {
        if (index >= rows_.size()) throw StoreError("No current record.");
        current_ = index;
    }

private:
    void check_open() const {
        if (!open_) throw StoreError("The address book is not open.");
    }
    AddressRow &current() {
        check_open();
        if (!current_ || *current_ >= rows_.size()) throw StoreError("No current record.");
        return rows_[*current_];
    }

    bool open_ = false;
    std::vector<AddressRow> rows_;
    std::optional<std::size_t> current_;
};


inline std::unique_ptr<AddressStore> make_memory_address_store() {
    return std::make_unique<MemoryAddressStore>();
}

} // namespace quillon::testing
