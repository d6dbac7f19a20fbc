// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

class AddressStore;
class CallHistory;
class CallHistoryForm;
class Dialler;
struct SharedState;

// One line of the history window, as shown.
struct HistoryLine {
    std::string start;
    std::string name;   // from the address book, where the number matches
    std::string number; // "incoming" for an incoming call
    std::string result;
    std::string duration; // "hh:mm:ss"
    std::string sent;
    std::string received;
    std::string dial; // what the Dial button puts up; empty for incoming calls
};

// Frmhistory's handlers: the calls newest first, named from the address
// book; the Dial button makes the chosen number the one to dial, as a
// choice in the address-book grid does.
class CallHistoryWindow {
public:
    CallHistoryWindow(CallHistoryForm& form, CallHistory& history, AddressStore& book, SharedState& state,
                      Dialler& dialler)
        : form_(form), history_(history), book_(book), state_(state), dialler_(dialler) {}

    void mnucallhistory_Click();
    void grdcalls_RowColChange(std::size_t row);
    void cmdhistorydial_Click();
    void Form_Unload();
    // Reads the history again, when shown.
    void history_changed();

    const std::vector<HistoryLine>& lines() const { return lines_; }

private:
    void reload();

    CallHistoryForm& form_;
    CallHistory& history_;
    AddressStore& book_;
    SharedState& state_;
    Dialler& dialler_;
    std::vector<HistoryLine> lines_;
    std::optional<std::size_t> chosen_;
};

} // namespace quillon
