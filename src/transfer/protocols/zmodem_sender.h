// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/protocols/transfer_engine.h"
#include "transfer/protocols/zmodem_frames.h"

namespace quillon {

// Sends files with ZMODEM: streams data subpackets as fast as they are
// taken, asks for an acknowledgement every few kilobytes so that no more
// than a window is ever unconfirmed, and starts again wherever the
// receiver asks (ZRPOS).
class ZmodemSender : public TransferEngine {
public:
    static constexpr EngineTime answer_timeout_ms = 10000;
    static constexpr int max_retries = 10;
    static constexpr std::size_t subpacket_size = 1024;
    static constexpr std::uint64_t ack_interval = 8192;
    static constexpr std::uint64_t window = 32768;

    // With ask_resume, the receiver is asked to go on with a partial file.
    explicit ZmodemSender(std::vector<OutgoingFile> files, bool ask_resume = false);

private:
    enum class Step { init, offer, data, eof, fin };

    std::size_t on_bytes(std::string_view bytes) override;
    void on_timeout() override;
    void on_output_room(std::size_t room) override;
    void on_header(const zmodem::Header& header);
    void offer_file();
    void start_data(std::uint64_t position);
    void next_subpacket();
    void acknowledged(std::uint64_t position);
    void retry();
    std::string header(std::uint8_t type, std::uint32_t position);

    std::vector<OutgoingFile> files_;
    bool ask_resume_;
    std::size_t index_ = 0;
    Step step_ = Step::init;
    zmodem::Reader reader_;
    zmodem::Escaper escaper_;
    bool crc32_ = false;
    std::uint64_t receiver_buffer_ = 0;
    std::uint64_t pos_ = 0;
    std::uint64_t acked_ = 0;
    std::uint64_t frame_start_ = 0;
    std::uint64_t last_ack_request_ = 0;
    bool blocked_ = false;
    int retries_ = 0;
    int repeated_rpos_ = 0;
};

} // namespace quillon
