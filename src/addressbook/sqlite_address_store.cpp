#include "addressbook/sqlite_address_store.h"

#include <sqlite3.h>

#include <cctype>

namespace quillon {
namespace {

struct Row {
    sqlite3_int64 id;
    AddressRow fields;
};

// Names match as people type them: "ann" finds "Ann".
bool same_name(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

class SqliteAddressStore : public AddressStore {
public:
    ~SqliteAddressStore() override { close(); }

    void open(const std::string& path) override {
        close();
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
            fail();
        exec("CREATE TABLE IF NOT EXISTS Address (Name TEXT, Phoneno TEXT)");
        refresh();
    }

    void refresh() override {
        rows_.clear();
        Statement s(*this, "SELECT rowid, Name, Phoneno FROM Address ORDER BY rowid");
        while (s.step()) rows_.push_back({sqlite3_column_int64(s.get(), 0), {s.text(1), s.text(2)}});
        current_ = rows_.empty() ? -1 : 0;
    }

    void add(const std::string& name, const std::string& phoneno) override {
        Statement s(*this, "INSERT INTO Address (Name, Phoneno) VALUES (?, ?)");
        s.bind(1, name);
        s.bind(2, phoneno);
        s.step();
        sqlite3_int64 id = sqlite3_last_insert_rowid(db_);
        refresh();
        select_id(id);
    }

    void edit_current_phoneno(const std::string& phoneno) override {
        Statement s(*this, "UPDATE Address SET Phoneno = ? WHERE rowid = ?");
        s.bind(1, phoneno);
        sqlite3_bind_int64(s.get(), 2, current().id);
        s.step();
        current().fields.phoneno = phoneno;
    }

    void delete_current() override {
        Statement s(*this, "DELETE FROM Address WHERE rowid = ?");
        sqlite3_bind_int64(s.get(), 1, current().id);
        s.step();
        rows_.erase(rows_.begin() + current_);
        if (current_ >= static_cast<long>(rows_.size())) current_ = static_cast<long>(rows_.size()) - 1;
    }

    bool find_first(const std::string& name) override {
        check_open();
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (same_name(rows_[i].fields.name, name)) {
                current_ = static_cast<long>(i);
                return true;
            }
        }
        return false;
    }

    void move_first() override {
        check_open();
        if (rows_.empty()) throw StoreError("No current record.");
        current_ = 0;
    }

    std::string current_phoneno() override { return current().fields.phoneno; }

    std::vector<AddressRow> rows() override {
        std::vector<AddressRow> out;
        for (const Row& r : rows_) out.push_back(r.fields);
        return out;
    }

    std::optional<std::size_t> current_index() override {
        if (current_ < 0) return std::nullopt;
        return static_cast<std::size_t>(current_);
    }

    void move_to(std::size_t index) override {
        if (index >= rows_.size()) throw StoreError("No current record.");
        current_ = static_cast<long>(index);
    }

    void add_entries(const std::vector<AddressRow>& rows) override {
        check_open();
        exec("BEGIN");
        sqlite3_int64 first = 0;
        try {
            Statement s(*this, "INSERT INTO Address (Name, Phoneno) VALUES (?, ?)");
            for (const AddressRow& row : rows) {
                s.bind(1, row.name);
                s.bind(2, row.phoneno);
                s.step();
                if (first == 0) first = sqlite3_last_insert_rowid(db_);
                sqlite3_reset(s.get());
            }
            exec("COMMIT");
        } catch (const StoreError&) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        refresh();
        select_id(first);
    }

private:
    class Statement {
    public:
        Statement(SqliteAddressStore& store, const char* sql) : store_(store) {
            store.check_open();
            if (sqlite3_prepare_v2(store.db_, sql, -1, &stmt_, nullptr) != SQLITE_OK) store.fail();
        }
        ~Statement() { sqlite3_finalize(stmt_); }
        sqlite3_stmt* get() { return stmt_; }
        void bind(int index, const std::string& value) {
            sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        }
        bool step() {
            int rc = sqlite3_step(stmt_);
            if (rc == SQLITE_ROW) return true;
            if (rc != SQLITE_DONE) store_.fail();
            return false;
        }
        std::string text(int column) {
            auto p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
            return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))) : std::string{};
        }

    private:
        SqliteAddressStore& store_;
        sqlite3_stmt* stmt_ = nullptr;
    };

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
        rows_.clear();
        current_ = -1;
    }
    Row& current() {
        if (current_ < 0 || current_ >= static_cast<long>(rows_.size())) throw StoreError("No current record.");
        return rows_[static_cast<std::size_t>(current_)];
    }
    void select_id(sqlite3_int64 id) {
        for (std::size_t i = 0; i < rows_.size(); ++i)
            if (rows_[i].id == id) current_ = static_cast<long>(i);
    }

    sqlite3* db_ = nullptr;
    std::vector<Row> rows_;
    long current_ = -1;
};

} // namespace

std::unique_ptr<AddressStore> make_sqlite_address_store() { return std::make_unique<SqliteAddressStore>(); }

} // namespace quillon
