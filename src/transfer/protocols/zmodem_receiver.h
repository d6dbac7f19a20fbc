// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/protocols/transfer_engine.h"
#include "transfer/protocols/zmodem_frames.h"

namespace quillon {

// Receives files with ZMODEM into a sink. A damaged subpacket, or data
// that does not follow on from what we have, is answered with ZRPOS at
// the first byte we lack; a partial file the sink kept is resumed.
class ZmodemReceiver : public TransferEngine {
public:
    static constexpr EngineTime answer_timeout_ms = 10000;
    static constexpr EngineTime closing_wait_ms = 2000;
    static constexpr int max_retries = 10;

    // Without crc32, the sender is asked for CRC-16 frames.
    explicit ZmodemReceiver(FileSink& sink, bool crc32 = true);

private:
    enum class Step { wait_file, sinit, file_info, data, rpos_wait, closing };

    std::size_t on_bytes(std::string_view bytes) override;
    void on_timeout() override;
    void on_end() override { file_.reset(); }
    void on_event(const zmodem::Reader::Event& event);
    void on_header(const zmodem::Header& header);
    void on_subpacket(const zmodem::Reader::Event& event);
    void open_file(const std::string& info);
    void send_zrinit();
    void ask_position();

    FileSink& sink_;
    bool crc32_;
    Step step_ = Step::wait_file;
    zmodem::Reader reader_;
    std::unique_ptr<IncomingFile> file_;
    std::uint64_t pos_ = 0;
    int retries_ = 0;
    int closing_os_ = 0;
};

} // namespace quillon
