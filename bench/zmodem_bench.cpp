// SPDX-License-Identifier: GPL-3.0-or-later
// Our ZMODEM sender against our receiver over a 56000 bit/s line (ten bits
// a byte on the wire: 5600 bytes a second), 40 ms one way, in virtual
// time, 200 KB of random bytes each way round the noise: clean, and with
// a damaged byte now and then. Claim: on the clean line the file's bytes
// arrive at 0.95 or more of the line's byte rate, and with noise the file
// still arrives identical. Exits 1 when a claim fails; under a second.
#include "engine_pump.h"
#include "support/random_content.h"
#include "support/temp_dir.h"
#include "transfer/protocols/folder_files.h"
#include "transfer/protocols/zmodem_receiver.h"
#include "transfer/protocols/zmodem_sender.h"

#include <cstdio>
#include <memory>
#include <random>

namespace {

using namespace quillon;

constexpr int line_bytes_per_second = 5600;
constexpr quillon::EngineTime latency_ms = 40;
constexpr double min_efficiency = 0.95;
constexpr std::size_t size = 200 * 1024;

struct Run {
    bool identical = false;
    double seconds = 0; // until the receiver had the whole file
};

Run send_once(const std::string& content, bool noisy) {
    testing::TempDir dir;
    FolderSink sink(dir.path());
    ZmodemSender sender({testing::memory_file("bench.bin", content)});
    ZmodemReceiver receiver(sink);
    testing::VirtualLine line{line_bytes_per_second, latency_ms};
    EngineTime whole_at = 0;
    line.each_step = [&](EngineTime now) {
        if (!whole_at && receiver.progress().files_done == 1) whole_at = now;
    };
    if (noisy) {
        auto rng = std::make_shared<std::mt19937>(9);
        line.noise = [rng](std::string& bytes) {
            for (char& c : bytes)
                if ((*rng)() % 20000 == 0) c ^= 0x21;
        };
    }
    testing::pump(sender, receiver, line);
    return {receiver.state() == EngineState::succeeded && dir.read("bench.bin") == content, whole_at / 1000.0};
}

} // namespace

int main() {
    const std::string content = quillon::testing::random_bytes(size, 1);
    std::printf("ZMODEM, our sender to our receiver, %d bytes/s, %lld ms one way, virtual time, 200 KB random;\n"
                "claim: %.2f or more of the line's byte rate on a clean line, the file identical with noise\n",
                line_bytes_per_second, static_cast<long long>(latency_ms), min_efficiency);
    Run clean = send_once(content, false);
    double efficiency = size / clean.seconds / line_bytes_per_second;
    Run noisy = send_once(content, true);
    std::printf("  clean: %s, %.2f s, %.0f B/s, %.4f of the line\n", clean.identical ? "identical" : "DIFFERENT",
                clean.seconds, size / clean.seconds, efficiency);
    std::printf("  noisy: %s, %.2f s\n", noisy.identical ? "identical" : "DIFFERENT", noisy.seconds);
    bool met = clean.identical && noisy.identical && efficiency >= min_efficiency;
    std::printf("%s\n", met ? "claims met" : "claims MISSED");
    return met ? 0 : 1;
}
