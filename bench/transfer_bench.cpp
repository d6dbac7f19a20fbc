// File transfers between two program cores over the simulated exchange:
// how close the block protocol comes to what a stop-and-wait exchange can
// do on the line, and what a transfer costs with no line limit at all.
#include "support/two_programs.h"
#include "transfer/transfer_frames.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

using quillon::testing::TwoPrograms;
namespace frames = quillon::frames;

namespace {

constexpr std::size_t megabyte = 1 << 20;

void write_file(const std::string& path, std::size_t size, bool text) {
    std::ofstream out(path, std::ios::binary);
    std::mt19937 rng(42);
    std::string chunk(64 * 1024, '\0');
    for (std::size_t done = 0; done < size; done += chunk.size()) {
        std::size_t n = std::min(chunk.size(), size - done);
        for (std::size_t i = 0; i < n; ++i) chunk[i] = text ? static_cast<char>('a' + rng() % 26) : static_cast<char>(rng());
        out.write(chunk.data(), static_cast<std::streamsize>(n));
    }
}

bool same_files(const std::string& a, const std::string& b) {
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    std::string p(64 * 1024, '\0'), q(64 * 1024, '\0');
    while (x && y) {
        x.read(p.data(), static_cast<std::streamsize>(p.size()));
        y.read(q.data(), static_cast<std::streamsize>(q.size()));
        if (x.gcount() != y.gcount() || p.compare(0, x.gcount(), q, 0, y.gcount()) != 0) return false;
    }
    return x.eof() && y.eof();
}

struct Outcome {
    bool identical = false;
    double virtual_seconds = 0;
    double wall_seconds = 0;
};

Outcome transfer(quillon::sim::Exchange::Config config, std::size_t size, bool binary) {
    TwoPrograms t(config);
    Outcome outcome;
    if (!t.start() || !t.call()) return outcome;
    std::string source = t.a.f.dir.file("source.bin"), target = t.b.f.dir.file("target.bin");
    write_file(source, size, !binary);
    t.a.f.dialogs.open_answers.push_back(source);
    t.b.f.dialogs.save_answers.push_back(target);
    (binary ? t.a.w().filemodebinary : t.a.w().filemodetext).choose();
    auto wall_start = std::chrono::steady_clock::now();
    double start = t.time.now();
    t.a.w().cmdsend.click();
    // The sender's finishing step runs when the last request reaches it.
    if (!t.run_until([&] { return t.a.s().send_block == -50; }, 1e7)) return outcome;
    outcome.virtual_seconds = t.time.now() - start;
    t.run_until([&] { return !binary || t.b.f.dialogs.showed("Conversion complete!"); }, 1e7);
    outcome.wall_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
    outcome.identical = same_files(source, target);
    return outcome;
}

// The shortest time a stop-and-wait exchange of these frames can take: each
// frame and its request cross the line one after the other.
double stop_and_wait_bound(std::size_t size, bool binary, double rate, double latency) {
    std::size_t block = binary ? 1024 : 2048;
    std::size_t length = binary ? 2 * size : size;
    double total = 0;
    auto exchange = [&](std::size_t frame_chars, std::size_t reply_chars) {
        total += static_cast<double>(frame_chars + reply_chars) * 10 / rate + 2 * latency;
    };
    exchange(frames::end_of_block.size(), frames::request.size());
    exchange(std::to_string(length).size() + frames::end_of_block.size(), frames::request.size());
    exchange(std::string("source.bin").size() + frames::end_of_block.size(), frames::request.size());
    exchange((binary ? 6 : 4) + frames::end_of_block.size(), frames::request.size());
    std::size_t blocks = size == 0 ? 1 : (size + block - 1) / block;
    for (std::size_t i = 0; i < blocks; ++i) {
        std::size_t bytes = std::min(block, size - i * block);
        bool last = i + 1 == blocks;
        std::size_t frame = (binary ? 2 * bytes : bytes) + frames::end_of_block.size();
        std::size_t reply = frames::request.size();
        if (last && !binary) {
            frame += frames::sender_trailer.size();
            reply += frames::receiver_notice.size();
        }
        exchange(frame, reply);
    }
    return total;
}

long peak_rss_kb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    std::printf("Efficiency at 56000 bit/s, 40 ms one way (target 0.99 or more):\n");
    for (bool binary : {true, false}) {
        quillon::sim::Exchange::Config line;
        Outcome o = transfer(line, megabyte, binary);
        double bound = stop_and_wait_bound(megabyte, binary, line.rate_bps, line.latency_seconds);
        std::printf("  %-6s 1 MB: %s, %.1f s on the line, %.0f file bytes/s, bound %.0f: ratio %.4f\n",
                    binary ? "binary" : "text", o.identical ? "identical" : "DIFFERENT", o.virtual_seconds,
                    megabyte / o.virtual_seconds, megabyte / bound, bound / o.virtual_seconds);
    }

    std::printf("Cost with no line limit:\n");
    quillon::sim::Exchange::Config unlimited;
    unlimited.rate_bps = 0;
    unlimited.latency_seconds = 0;
    for (std::size_t size : {megabyte, (quick ? 10 : 100) * megabyte}) {
        for (bool binary : {true, false}) {
            Outcome o = transfer(unlimited, size, binary);
            std::printf("  %-6s %3zu MB: %s, %.2f s wall, peak memory so far %ld kB\n", binary ? "binary" : "text",
                        size / megabyte, o.identical ? "identical" : "DIFFERENT", o.wall_seconds, peak_rss_kb());
        }
    }
    return 0;
}
