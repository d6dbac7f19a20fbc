// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/call_history.h"

#include <cerrno>
#include <cstring>
#include <sqlite3.h>
#include <unistd.h>

namespace quillon {
namespace {

// A statement that finalizes itself; ok() is false when it did not prepare.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool ok() const { return stmt_ != nullptr; }
    sqlite3_stmt* get() { return stmt_; }
    void bind(int index, const std::string& text) {
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    std::string text(int column) {
        auto p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))) : std::string{};
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace

CallHistory::CallHistory(std::string book_path) : path_(std::move(book_path)) {}

CallHistory::~CallHistory() {
    if (db_) sqlite3_close(db_);
}

bool CallHistory::open() {
    if (db_) return true;
    // The address book creates the file; a history alone must not. A book
    // not there yet is looked for again at the next call, cheaply.
    if (::access(path_.c_str(), F_OK) != 0) {
        fail(std::strerror(errno));
        return false;
    }
    if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(db_, 2000);
        if (sqlite3_exec(db_,
                         "CREATE TABLE IF NOT EXISTS Calls (Number TEXT, Direction TEXT, Start TEXT, "
                         "Duration INTEGER, Result TEXT, BytesSent INTEGER, BytesReceived INTEGER)",
                         nullptr, nullptr, nullptr) == SQLITE_OK)
            return true;
    }
    fail(db_ ? sqlite3_errmsg(db_) : "out of memory");
    sqlite3_close(db_);
    db_ = nullptr;
    return false;
}

void CallHistory::fail(const std::string& why) {
    if (reported_) return;
    reported_ = true;
    if (on_failure) on_failure("The call history cannot be kept in " + path_ + ": " + why + ".");
}

void CallHistory::call_over(const Call& call) {
    if (!open()) return;
    Statement s(db_, "INSERT INTO Calls (Number, Direction, Start, Duration, Result, BytesSent, BytesReceived) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?)");
    if (s.ok()) {
        s.bind(1, call.number);
        s.bind(2, call.direction == CallDirection::outgoing ? "outgoing" : "incoming");
        s.bind(3, call.date + " " + call.time);
        sqlite3_bind_int64(s.get(), 4, call.duration_seconds());
        s.bind(5, result_text(call.result));
        sqlite3_bind_int64(s.get(), 6, call.bytes_sent);
        sqlite3_bind_int64(s.get(), 7, call.bytes_received);
    }
    if (!s.ok() || sqlite3_step(s.get()) != SQLITE_DONE) {
        fail(sqlite3_errmsg(db_));
        return;
    }
    if (on_change) on_change();
}

std::vector<CallRow> CallHistory::calls() {
    std::vector<CallRow> out;
    if (!open()) return out;
    Statement s(db_, "SELECT Number, Direction, Start, Duration, Result, BytesSent, BytesReceived FROM Calls "
                     "ORDER BY rowid DESC");
    while (s.ok() && sqlite3_step(s.get()) == SQLITE_ROW) {
        out.push_back({s.text(0), s.text(1), s.text(2), static_cast<long>(sqlite3_column_int64(s.get(), 3)), s.text(4),
                       sqlite3_column_int64(s.get(), 5), sqlite3_column_int64(s.get(), 6)});
    }
    return out;
}

} // namespace quillon
