// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "session/call_tracker.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct sqlite3;

namespace quillon {

// One stored call, as the history window lists it.
struct CallRow {
    std::string number;
    std::string direction; // "outgoing" or "incoming"
    std::string start;     // "2026-12-07 14:30:05"
    long duration = 0;     // seconds connected
    std::string result;    // "connected", "busy", ... (result_text)
    std::int64_t bytes_sent = 0;
    std::int64_t bytes_received = 0;
};

// The call history: a second table, "Calls", in the address book's file,
// beside the untouched "Address" table. The file is opened when first
// needed and never created here: a book that is missing or cannot be read
// has no history, and says so once per run.
class CallHistory : public CallTracker::Listener {
public:
    explicit CallHistory(std::string book_path);
    ~CallHistory() override;
    CallHistory(const CallHistory&) = delete;
    CallHistory& operator=(const CallHistory&) = delete;

    // Newest first.
    std::vector<CallRow> calls();
    void call_over(const Call& call) override;

    // A call was stored.
    std::function<void()> on_change;
    // Told, once per run, why the history cannot be kept.
    std::function<void(const std::string&)> on_failure;

private:
    bool open();
    void fail(const std::string& why);

    std::string path_;
    sqlite3* db_ = nullptr;
    bool reported_ = false;
};

} // namespace quillon
