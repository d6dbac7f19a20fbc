// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/sqlite_address_store.h"

#include "base/sqlite_statement.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace quillon {
namespace {

// How long an operation waits for another copy that holds the file.
constexpr int busy_wait_ms = 2000;
// Rows added between two reports of an import's progress.
constexpr std::size_t progress_step = 1000;

class SqliteAddressStore : public AddressStore {
public:
    ~SqliteAddressStore() override { close(); }

    // A book that cannot be brought to this version's form (another holds
    // it, its file cannot be written, its table is foreign) is opened
    // read-only as it is: its rows are read by rowid, which every table has.
    void open(const std::string& path) override {
        close();
        int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        try {
            if (rc != SQLITE_OK) fail();
            sqlite3_busy_timeout(db_, busy_wait_ms);
            path_ = path;
            try {
                exec("CREATE TABLE IF NOT EXISTS Address (id INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, Phoneno TEXT)");
                if (!has_stable_ids()) add_stable_ids();
            } catch (const StoreError& unmigrated) {
                reopen_read_only(unmigrated.what());
            }
            refresh();
        } catch (const StoreError&) {
            close();
            throw;
        }
    }

    std::optional<std::string> why_read_only() override {
        if (unmigrated_) return unmigrated_;
        if (!db_ || sqlite3_db_readonly(db_, "main") != 1) return std::nullopt;
        if (::access(path_.c_str(), W_OK) != 0) return std::string(std::strerror(errno));
        return std::string("the file cannot be written");
    }

    void refresh() override {
        current_.reset();
        SqliteStatement s = statement("SELECT rowid, Phoneno FROM Address ORDER BY rowid LIMIT 1");
        if (s.step()) current_ = Current{s.integer(0), s.text(1)};
    }

    void add(const std::string& name, const std::string& phoneno) override {
        SqliteStatement s = statement("INSERT INTO Address (Name, Phoneno) VALUES (?, ?)");
        s.bind(1, name);
        s.bind(2, phoneno);
        s.step();
        current_ = Current{sqlite3_last_insert_rowid(db_), phoneno};
    }

    void edit_current_phoneno(const std::string& phoneno) override {
        SqliteStatement s = statement("UPDATE Address SET Phoneno = ? WHERE rowid = ?");
        s.bind(1, phoneno);
        s.bind(2, current().id);
        s.step();
        if (sqlite3_changes(db_) != 1) throw EntryGone();
        current().phoneno = phoneno;
    }

    void delete_current() override {
        SqliteStatement s = statement("DELETE FROM Address WHERE rowid = ?");
        s.bind(1, current().id);
        s.step();
        current_.reset();
        if (sqlite3_changes(db_) != 1) throw EntryGone();
    }

    // Names match as people type them: "ann" finds "Ann".
    bool find_first(const std::string& name) override {
        SqliteStatement s = statement("SELECT rowid, Phoneno FROM Address WHERE Name = ? COLLATE NOCASE ORDER BY rowid LIMIT 1");
        s.bind(1, name);
        if (!s.step()) return false;
        current_ = Current{s.integer(0), s.text(1)};
        return true;
    }

    void move_first() override {
        refresh();
        current();
    }

    std::string current_phoneno() override { return current().phoneno; }

    std::string current_name() override {
        SqliteStatement s = statement("SELECT Name FROM Address WHERE rowid = ?");
        s.bind(1, current().id);
        if (!s.step()) throw EntryGone();
        return s.text(0);
    }

    std::vector<AddressRow> rows() override {
        std::vector<AddressRow> out;
        SqliteStatement s = statement("SELECT Name, Phoneno FROM Address ORDER BY rowid");
        while (s.step()) out.push_back({s.text(0), s.text(1)});
        return out;
    }

    // Only the ids are kept, a few megabytes for a million rows; the names
    // and numbers are read a screen at a time.
    std::size_t list_rows() override {
        listed_.clear();
        SqliteStatement s = statement("SELECT rowid FROM Address ORDER BY rowid");
        while (s.step()) listed_.push_back(s.integer(0));
        return listed_.size();
    }

    std::vector<AddressRow> listed_rows(std::size_t first, std::size_t count) override {
        if (first >= listed_.size()) return {};
        count = std::min(count, listed_.size() - first);
        std::vector<AddressRow> out(count);
        SqliteStatement s = statement("SELECT rowid, Name, Phoneno FROM Address WHERE rowid BETWEEN ? AND ? ORDER BY rowid");
        s.bind(1, listed_[first]);
        s.bind(2, listed_[first + count - 1]);
        auto from = listed_.begin() + static_cast<std::ptrdiff_t>(first);
        auto to = from + static_cast<std::ptrdiff_t>(count);
        while (s.step()) {
            auto at = std::lower_bound(from, to, s.integer(0));
            if (at != to && *at == s.integer(0)) out[static_cast<std::size_t>(at - from)] = {s.text(1), s.text(2)};
        }
        return out;
    }

    std::optional<std::size_t> current_index() override {
        if (!current_) return std::nullopt;
        auto at = std::lower_bound(listed_.begin(), listed_.end(), current_->id);
        if (at == listed_.end() || *at != current_->id) return std::nullopt;
        return static_cast<std::size_t>(at - listed_.begin());
    }

    void move_to(std::size_t index) override {
        if (index >= listed_.size()) throw StoreError("No current record.");
        SqliteStatement s = statement("SELECT Phoneno FROM Address WHERE rowid = ?");
        s.bind(1, listed_[index]);
        if (!s.step()) throw EntryGone();
        current_ = Current{listed_[index], s.text(0)};
    }

    void add_entries(const std::vector<AddressRow>& rows, const Progress& progress) override {
        check_open();
        exec("BEGIN");
        sqlite3_int64 first = 0;
        std::size_t added = 0;
        try {
            SqliteStatement s = statement("INSERT INTO Address (Name, Phoneno) VALUES (?, ?)");
            for (const AddressRow& row : rows) {
                s.bind(1, row.name);
                s.bind(2, row.phoneno);
                s.step();
                if (first == 0) first = sqlite3_last_insert_rowid(db_);
                s.reset();
                if (progress && ++added % progress_step == 0) progress(added);
            }
            exec("COMMIT");
        } catch (const StoreError&) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        if (!rows.empty()) current_ = Current{first, rows.front().phoneno};
    }

private:
    struct Current {
        sqlite3_int64 id;
        std::string phoneno;
    };

    // A statement on the open book; any failure throws.
    SqliteStatement statement(const char* sql) {
        check_open();
        return SqliteStatement(db_, sql, [this] { fail(); });
    }

    // Books written before rows had ids of their own have only SQLite's
    // rowid, which a removal lets the next addition take again.
    bool has_stable_ids() {
        SqliteStatement s = statement("SELECT name, pk FROM pragma_table_info('Address')");
        while (s.step())
            if (s.text(0) == "id" && s.integer(1) == 1) return true;
        return false;
    }

    // Rebuilds the table with ids, keeping every row in its order and every
    // column (a newer program's, or another's) with its type; another copy
    // doing the same at the same time finds the work done.
    void add_stable_ids() {
        exec("BEGIN IMMEDIATE");
        try {
            if (!has_stable_ids()) {
                std::string columns, names;
                {
                    SqliteStatement s = statement("SELECT name, type FROM pragma_table_info('Address')");
                    while (s.step()) {
                        std::string name = s.text(0);
                        if (name.size() == 2 && (name[0] | 0x20) == 'i' && (name[1] | 0x20) == 'd')
                            throw StoreError("its Address table has an id column of its own, which is left as it is");
                        names += (names.empty() ? "" : ", ") + quoted(name);
                        columns += ", " + quoted(name) + " " + s.text(1);
                    }
                }
                exec(("CREATE TABLE Address_with_ids (id INTEGER PRIMARY KEY AUTOINCREMENT" + columns + ")").c_str());
                exec(("INSERT INTO Address_with_ids (" + names + ") SELECT " + names + " FROM Address ORDER BY rowid")
                         .c_str());
                exec("DROP TABLE Address");
                exec("ALTER TABLE Address_with_ids RENAME TO Address");
            }
            exec("COMMIT");
        } catch (const StoreError&) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }

    static std::string quoted(const std::string& identifier) {
        std::string out = "\"";
        for (char c : identifier) out += c == '"' ? std::string("\"\"") : std::string(1, c);
        return out + "\"";
    }

    void reopen_read_only(const std::string& why) {
        sqlite3_close(db_);
        db_ = nullptr;
        if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) fail();
        sqlite3_busy_timeout(db_, busy_wait_ms);
        unmigrated_ = why;
    }

    void exec(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail();
    }
    [[noreturn]] void fail() {
        std::string why = db_ ? sqlite3_errmsg(db_) : "cannot open the address book";
        throw StoreError(why);
    }
    void check_open() {
        if (!db_) throw StoreError("The address book is not open.");
    }
    void close() {
        if (db_) sqlite3_close(db_);
        db_ = nullptr;
        listed_.clear();
        current_.reset();
        unmigrated_.reset();
    }
    Current& current() {
        if (!current_) throw StoreError("No current record.");
        return *current_;
    }

    sqlite3* db_ = nullptr;
    std::string path_;
    // Why the book could not be brought to this version's form.
    std::optional<std::string> unmigrated_;
    std::optional<Current> current_;
    // The ids of the rows last listed, in the order the grid shows them
    // (ascending, as ids are).
    std::vector<sqlite3_int64> listed_;
};

} // namespace

std::unique_ptr<AddressStore> make_sqlite_address_store() { return std::make_unique<SqliteAddressStore>(); }

} // namespace quillon
