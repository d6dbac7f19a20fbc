// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/protocols/transfer_engine.h"

namespace quillon {

// Receives one file with XMODEM (named by our side, since the protocol
// carries no name) or a batch with YMODEM into a sink. It asks for CRC-16
// with 'C', and an XMODEM receiver falls back to the arithmetic sum (NAK)
// when the sender does not answer three of them.
class XmodemReceiver : public TransferEngine {
public:
    static constexpr EngineTime block_timeout_ms = 10000;
    static constexpr EngineTime request_interval_ms = 3000;
    static constexpr EngineTime quiet_line_ms = 1000;
    static constexpr int max_retries = 10;

    // A YMODEM batch.
    explicit XmodemReceiver(FileSink& sink);
    // One XMODEM file.
    XmodemReceiver(FileSink& sink, std::string name);

private:
    std::size_t on_bytes(std::string_view bytes) override;
    void on_timeout() override;
    void on_end() override { file_.reset(); }
    void on_block();
    void on_eot();
    void on_block0(std::string_view data);
    bool store(std::string_view data);
    void answer(std::string_view bytes);
    void purge();

    FileSink& sink_;
    bool batch_;
    std::string name_;
    std::unique_ptr<IncomingFile> file_;
    std::optional<std::uint64_t> size_;
    std::string block_;
    bool crc_ = true;
    bool started_ = false;
    bool purging_ = false;
    bool expecting_block0_;
    bool last_was_can_ = false;
    std::uint8_t expected_ = 1;
    int eots_ = 0;
    int retries_ = 0;
};

} // namespace quillon
