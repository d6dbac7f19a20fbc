// SPDX-License-Identifier: GPL-3.0-or-later
// ZMODEM's reader finds headers and subpackets in any bytes; what it finds
// goes back on the wire and reads the same; a receiver fed the bytes ends
// or waits, never more.
#include "memory_sink.h"
#include "transfer/protocols/zmodem_frames.h"
#include "transfer/protocols/zmodem_receiver.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace quillon::zmodem;

namespace {
std::optional<Reader::Event> read_back(const std::string& wire) {
    Reader reader;
    for (unsigned char c : wire)
        if (auto event = reader.push(c)) return event;
    return std::nullopt;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    Reader reader;
    for (unsigned char c : input) {
        auto event = reader.push(c);
        if (!event) continue;
        if (event->kind == Reader::Event::Kind::subpacket && event->data.size() > Reader::max_subpacket) std::abort();
        if (event->kind != Reader::Event::Kind::header) continue;
        Escaper escaper(event->header.type & 1);
        for (const std::string& wire : {hex_header(event->header), binary_header(event->header, event->crc32, escaper)}) {
            auto back = read_back(wire);
            if (!back || back->kind != Reader::Event::Kind::header || !(back->header == event->header)) std::abort();
        }
    }
    MemorySink sink;
    quillon::ZmodemReceiver receiver(sink, size % 2 == 0);
    drive(receiver, input);
    return 0;
}
