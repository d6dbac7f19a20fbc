// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/sqlite_statement.h"

#include <utility>

namespace quillon {

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql, std::function<void()> on_failure)
    : on_failure_(std::move(on_failure)) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        if (on_failure_) on_failure_();
    }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)), on_failure_(std::move(other.on_failure_)), failed_(other.failed_) {}

void SqliteStatement::bind(int index, const std::string& text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bind(int index, sqlite3_int64 value) { sqlite3_bind_int64(stmt_, index, value); }

bool SqliteStatement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) {
        failed_ = true;
        if (on_failure_) on_failure_();
    }
    return false;
}

void SqliteStatement::reset() { sqlite3_reset(stmt_); }

std::string SqliteStatement::text(int column) {
    auto p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return p ? std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))) : std::string{};
}

sqlite3_int64 SqliteStatement::integer(int column) { return sqlite3_column_int64(stmt_, column); }

} // namespace quillon
