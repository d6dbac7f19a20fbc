// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/protocols/transfer_engine.h"

#include <memory>
#include <string>

// Takes every file a protocol engine receives, in memory, and forgets it.
class MemorySink : public quillon::FileSink {
public:
    std::unique_ptr<quillon::IncomingFile> open(const quillon::IncomingHeader&) override {
        struct File : quillon::IncomingFile {
            std::string bytes;
            std::uint64_t resume_from() const override { return 0; }
            bool write(std::string_view more) override {
                bytes.append(more);
                return bytes.size() < (1u << 20);
            }
            bool finish() override { return true; }
        };
        return std::make_unique<File>();
    }
};

// Feeds input to an engine in pieces of varying length, with time passing
// between them, so that timeouts fire as well.
inline void drive(quillon::TransferEngine& engine, std::string_view input) {
    quillon::EngineTime now = 0;
    for (std::size_t i = 0; i < input.size() && engine.running();) {
        std::size_t n = 1 + static_cast<unsigned char>(input[i]) % 97;
        engine.set_time(now += static_cast<unsigned char>(input[i]) * 40);
        engine.receive(input.substr(i, n));
        engine.take_output(4096);
        i += n;
    }
}
