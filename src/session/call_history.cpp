// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/call_history.h"

#include "base/sqlite_statement.h"

#include <cerrno>
#include <cstring>
#include <sqlite3.h>
#include <unistd.h>

namespace quillon {
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
    SqliteStatement s(db_, "INSERT INTO Calls (Number, Direction, Start, Duration, Result, BytesSent, BytesReceived) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?)");
    if (s.ok()) {
        s.bind(1, call.number);
        s.bind(2, call.direction == CallDirection::outgoing ? "outgoing" : "incoming");
        s.bind(3, call.date + " " + call.time);
        s.bind(4, call.duration_seconds());
        s.bind(5, result_text(call.result));
        s.bind(6, call.bytes_sent);
        s.bind(7, call.bytes_received);
    }
    if (!s.ok() || s.step() || s.failed()) {
        fail(sqlite3_errmsg(db_));
        return;
    }
    if (on_change) on_change();
}

std::vector<CallRow> CallHistory::calls() {
    std::vector<CallRow> out;
    if (!open()) return out;
    SqliteStatement s(db_, "SELECT Number, Direction, Start, Duration, Result, BytesSent, BytesReceived FROM Calls "
                     "ORDER BY rowid DESC");
    while (s.ok() && s.step()) {
        out.push_back({s.text(0), s.text(1), s.text(2), static_cast<long>(s.integer(3)), s.text(4),
                       s.integer(5), s.integer(6)});
    }
    return out;
}

} // namespace quillon
