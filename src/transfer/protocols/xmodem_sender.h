// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/protocols/transfer_engine.h"

namespace quillon {

// Sends one file with XMODEM, or a batch with YMODEM, block by block,
// each waiting for its ACK. The receiver's first request chooses the
// check: 'C' for CRC-16, NAK for the old arithmetic sum (and then no 1K
// blocks).
class XmodemSender : public TransferEngine {
public:
    enum class Variant { xmodem, xmodem_1k, ymodem };
    static constexpr EngineTime answer_timeout_ms = 10000;
    static constexpr int max_retries = 10;

    XmodemSender(std::vector<OutgoingFile> files, Variant variant);

private:
    enum class Step { wait_start, block0, wait_data_start, data, eot };

    std::size_t on_bytes(std::string_view bytes) override;
    void on_timeout() override;
    void on_byte(char c);
    void send_current();
    void next_file();

    std::vector<OutgoingFile> files_;
    Variant variant_;
    std::size_t index_ = 0;
    Step step_ = Step::wait_start;
    bool crc_ = true;
    bool last_was_can_ = false;
    std::uint64_t pos_ = 0;
    std::uint8_t number_ = 1;
    std::string current_;       // the block (or EOT) awaiting its answer
    std::size_t current_size_ = 0;
    int retries_ = 0;
};

} // namespace quillon
