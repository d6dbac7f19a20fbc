// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/test_line.h"

#include "addressbook/sqlite_address_store.h"
#include "base/ini_file.h"
#include "sim/sha256.h"
#include "sim/sim_modem_line.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

namespace quillon::sim {

namespace fs = std::filesystem;

TestLine::TestLine(EventLoop& loop, Exchange& exchange, const std::string& number, const std::string& folder)
    : loop_(loop), modem_(exchange, number), dialogs_(folder + "/in", "test line " + number) {
    fs::create_directories(folder + "/in");
    std::ofstream(folder + "/quillon.ini") << "[Quillon]\nPORTNO.=1\nDIALMODE=tone\nSESSIONLOG=off\n[Ports]\nCOMM1=sim:"
                                           << number << "\n";
    program_ = std::make_unique<Program>(Platform{
        loop, dialogs_, media_, [this](const std::string&) { return std::make_unique<SimModemLine>(modem_); },
        [] { return make_sqlite_address_store(); }, FileLocations::choose(folder, user_folders(std::getenv)), ""});
    program_->events.subscribe(*this);
    program_->main_window.Form_Load();
}

TestLine::~TestLine() { *alive_ = false; }

// Chat comes in pieces as the line carries it; each goes back as it came.
void TestLine::chat_received(std::string_view text) { send_chat(std::string(text)); }

void TestLine::transfer_ended(const TransferInfo& info, TransferOutcome outcome, const std::string&) {
    if (info.direction != TransferDirection::receiving || outcome != TransferOutcome::complete) return;
    if (info.form == FileForm::binary) awaiting_conversion_ = info.file_name; // whole once converted
    else tell_checksum(info.file_name);
}

void TestLine::converting(bool active) {
    if (!active && !awaiting_conversion_.empty()) tell_checksum(std::exchange(awaiting_conversion_, {}));
}

void TestLine::tell_checksum(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    Sha256 sum;
    std::int64_t size = 0;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        sum.add(std::string_view(buffer, static_cast<std::size_t>(in.gcount())));
        size += in.gcount();
    }
    std::string text = fs::path(path).filename().string() + ": " + std::to_string(size) + " bytes, SHA-256 " + sum.hex();
    std::error_code ec;
    fs::remove(path, ec);
    send_chat(text);
}

// From the loop: the step that told it is still running.
void TestLine::send_chat(const std::string& text) {
    loop_.post([this, text, alive = alive_] {
        Program& p = *program_;
        if (!*alive || p.state.current_mode != OperatingMode::chat || p.state.connected != 1) return;
        p.frmmain.txtsend.set_text(text);
        p.frmmain.cmdsend.on_click();
    });
}

} // namespace quillon::sim
