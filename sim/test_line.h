// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/program.h"
#include "base/call_events.h"
#include "cli/console_dialogs.h"
#include "sim/hayes_modem.h"

#include <memory>
#include <string>

namespace quillon::sim {

// A number to call for someone without a second modem: a Quillon with no
// one at it, on a modem of the exchange. It answers every call, sends each
// chat message back as it came, takes any file in either form and says in
// chat how long it was and its SHA-256; then it forgets the file.
class TestLine : private CallEvents {
public:
    // folder holds its settings, its address book and the files it takes.
    TestLine(EventLoop& loop, Exchange& exchange, const std::string& number, const std::string& folder);
    ~TestLine() override;

    Program& program() { return *program_; }

private:
    void chat_received(std::string_view text) override;
    void transfer_ended(const TransferInfo& info, TransferOutcome outcome, const std::string& detail) override;
    void converting(bool active) override;
    void tell_checksum(const std::string& path);
    void send_chat(const std::string& text);

    EventLoop& loop_;
    HayesModem modem_;
    ConsoleDialogs dialogs_;
    NoMedia media_;
    std::unique_ptr<Program> program_;
    std::string awaiting_conversion_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace quillon::sim
