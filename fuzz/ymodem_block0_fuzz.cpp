// SPDX-License-Identifier: GPL-3.0-or-later
// YMODEM's block 0 parses whatever it holds, and a file's name, size and
// time written into one read back the same; blocks are checked without
// reading past their end, and a receiver fed the bytes ends or waits.
#include "memory_sink.h"
#include "transfer/protocols/xmodem_blocks.h"
#include "transfer/protocols/xmodem_receiver.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    if (auto header = xmodem::parse_file_info(input)) {
        if (header->name.empty() || header->name.find('\0') != std::string::npos) std::abort();
        OutgoingFile file{header->name.substr(0, 100), header->size.value_or(0), header->mtime & 0xFFFFFFFFFF, nullptr};
        auto back = xmodem::parse_file_info(xmodem::block0(&file));
        if (!back || back->name != file.name || back->size != file.size || back->mtime != file.mtime) std::abort();
    }
    for (bool crc : {true, false})
        if (auto block = xmodem::block_data(input, crc); block && block->size() != xmodem::block_size(input[0])) std::abort();
    MemorySink sink;
    auto receiver = size % 2 ? std::make_unique<XmodemReceiver>(sink) : std::make_unique<XmodemReceiver>(sink, "x");
    drive(*receiver, input);
    return 0;
}
