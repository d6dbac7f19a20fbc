// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/call_history_window.h"

#include "base/address_store.h"
#include "base/shared_state.h"
#include "modem/dialler.h"
#include "session/call_history.h"
#include "session/call_history_form.h"
#include "session/session_clock.h"

namespace quillon {
namespace {

std::string trimmed(const std::string& text) {
    auto first = text.find_first_not_of(" \r\n\t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \r\n\t") - first + 1);
}

std::string name_for(const std::vector<AddressRow>& book, const std::string& number) {
    if (number.empty()) return {};
    for (const AddressRow& row : book)
        if (trimmed(row.phoneno) == number) return row.name;
    return {};
}

} // namespace

void CallHistoryWindow::mnucallhistory_Click() {
    reload();
    form_.set_visible(true);
}

void CallHistoryWindow::history_changed() {
    if (form_.visible()) reload();
}

void CallHistoryWindow::reload() {
    std::vector<AddressRow> book;
    try {
        book = book_.rows();
    } catch (const StoreError&) {
        // Without the book the calls are still listed, only without names.
    }
    lines_.clear();
    for (const CallRow& call : history_.calls()) {
        bool incoming = call.direction == "incoming";
        std::string dial = incoming ? std::string() : trimmed(call.number);
        lines_.push_back({call.start, name_for(book, dial), incoming ? "incoming" : call.number, call.result,
                          clock_text(static_cast<double>(call.duration)), std::to_string(call.bytes_sent),
                          std::to_string(call.bytes_received), dial});
    }
    chosen_.reset();
    form_.cmdhistorydial.set_enabled(false);
    form_.grdcalls.reload();
}

void CallHistoryWindow::grdcalls_RowColChange(std::size_t row) {
    chosen_ = row < lines_.size() ? std::optional<std::size_t>(row) : std::nullopt;
    form_.cmdhistorydial.set_enabled(chosen_ && !lines_[*chosen_].dial.empty());
}

void CallHistoryWindow::cmdhistorydial_Click() {
    if (!chosen_ || lines_[*chosen_].dial.empty()) return;
    state_.dial_number = lines_[*chosen_].dial;
    state_.dial_entry = lines_[*chosen_].name;
    dialler_.follow_dial_number();
}

void CallHistoryWindow::Form_Unload() {
    form_.set_visible(false);
}

} // namespace quillon
