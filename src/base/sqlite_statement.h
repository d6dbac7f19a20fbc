// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <sqlite3.h>
#include <string>

namespace quillon {

// A prepared statement that finalizes itself. A failure to prepare or to
// step is told to on_failure, which may throw; ok() is false when the
// statement did not prepare.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const char* sql, std::function<void()> on_failure = {});
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    SqliteStatement& operator=(SqliteStatement&&) = delete;

    bool ok() const { return stmt_ != nullptr; }
    // Whether a step failed.
    bool failed() const { return failed_; }

    void bind(int index, const std::string& text);
    void bind(int index, sqlite3_int64 value);
    // True with a row to read; false when done or failed.
    bool step();
    // Makes the statement ready to run again with new bindings.
    void reset();

    std::string text(int column);
    sqlite3_int64 integer(int column);

private:
    sqlite3_stmt* stmt_ = nullptr;
    std::function<void()> on_failure_;
    bool failed_ = false;
};

} // namespace quillon
