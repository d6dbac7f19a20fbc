// SPDX-License-Identifier: GPL-3.0-or-later
// A megabyte of chat in 64-character pieces through the communications
// handler and the Qt output box, once with a line break ending each piece
// and once with no line break at all (Enter does not send, so messages run
// together), three times each [or as many as the argument says; 0 for the
// line's pace alone]. Claims:
// an arrival at the end of the conversation costs at most twice what one at
// its start did (the median over the runs of the ratio of medians), without
// line breaks as with them; and each conversation, in either form, grows
// the process by at most 2 bytes for each byte received. Then 2 MB at the
// line's pace (256 bytes every 45.7 ms, as 56000 bit/s brings them), about
// six minutes, on Qt's own event loop, the box painting as it does for the
// user; claim: at most 1 ms of the process's CPU time for each KB. Exits 1
// when a claim fails or text is lost.
#include "cpu_time.h"
#include "qt/front_end.h"
#include "qt/output_box.h"
#include "support/connected_program.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t total = 1 << 20, piece = 64, sample = 1000;
constexpr double max_ratio = 2.0, max_bytes_per_byte = 2.0;
constexpr std::size_t paced_total = 2048 * 1024, paced_piece = 256;
constexpr double line_bps = 56000, max_ms_per_kb = 1.0;

long resident_bytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

struct Conversation {
    double first_us = 0; // median cost of the first arrivals
    double last_us = 0;  // and of the last
    double bytes_per_byte = 0;
    bool intact = false;
    double ratio() const { return last_us / first_us; }
};

// One call's conversation: each arrival handled and the window updated
// (layout and painting), timed together.
Conversation converse(bool line_breaks) {
    quillon::testing::ConnectedProgram program;
    quillon::FrontEnd windows(program.p(), nullptr);
    windows.main.show();
    QCoreApplication::processEvents();
    std::string text(piece, 'x');
    if (line_breaks)
        text.replace(piece - 2, 2, "\r\n");
    else
        text[piece / 2] = ' ';

    long resident_before = resident_bytes();
    std::vector<double> first, last;
    constexpr std::size_t updates = total / piece;
    for (std::size_t i = 0; i < updates; ++i) {
        auto start = Clock::now();
        program.line().arrive(text);
        program.time.run_due();
        QCoreApplication::processEvents();
        double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        if (i < sample)
            first.push_back(us);
        else if (i >= updates - sample)
            last.push_back(us);
    }
    Conversation c;
    c.bytes_per_byte = double(resident_bytes() - resident_before) / total;
    c.first_us = median(first);
    c.last_us = median(last);
    auto *box = windows.main.findChild<quillon::OutputBox *>(QStringLiteral("txtreceived"));
    c.intact = program.w().txtreceived.text().size() == total && box &&
               box->shown_text().size() == qsizetype(total - (line_breaks ? updates : 0));
    return c;
}

struct Paced {
    double ms_per_kb = 0;
    bool intact = false;
};

// Chat with no line break arriving as the line brings it, in real time.
Paced at_line_pace() {
    quillon::testing::ConnectedProgram program;
    quillon::FrontEnd windows(program.p(), nullptr);
    windows.main.show();
    QCoreApplication::processEvents();
    std::string text(paced_piece, 'x');
    text[paced_piece / 2] = ' ';
    const double seconds_apart = static_cast<double>(paced_piece) * 10 / line_bps;
    auto interval = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds_apart));
    // One event loop throughout, woken for each arrival as the line's
    // notifier would wake it; the core's time keeps pace, its timers and
    // status bar included.
    QEventLoop loop;
    QTimer pace;
    pace.setSingleShot(true);
    pace.setTimerType(Qt::PreciseTimer);
    auto next = Clock::now();
    auto wake_at = [&](Clock::time_point when) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(when - Clock::now());
        pace.start(std::max(left, std::chrono::milliseconds(0)));
    };
    std::size_t sent = 0;
    quillon::testing::FakeLine &line = program.line();
    QObject::connect(&pace, &QTimer::timeout, [&] {
        if (sent >= paced_total) return loop.quit();
        line.arrive(text);
        program.time.run_for(seconds_apart);
        sent += paced_piece;
        next += interval;
        // After the last, time for the last frame to be painted.
        wake_at(sent < paced_total ? next : Clock::now() + std::chrono::milliseconds(100));
    });
    double started = quillon::bench::cpu_seconds();
    pace.start(0);
    loop.exec();
    Paced p;
    p.ms_per_kb = (quillon::bench::cpu_seconds() - started) * 1000 / (paced_total / 1024.0);
    auto *box = windows.main.findChild<quillon::OutputBox *>(QStringLiteral("txtreceived"));
    p.intact = program.w().txtreceived.text().size() == paced_total && box &&
               box->shown_text().size() == qsizetype(paced_total);
    return p;
}

} // namespace

int main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::printf("1 MB of chat in %zu arrivals of %zu characters; claims: end / start at most %.1f (medians of\n"
                "%zu arrivals), growth at most %.0f bytes a received byte in every run\n",
                total / piece, piece, max_ratio, sample, max_bytes_per_byte);
    int runs = argc > 1 ? std::max(0, std::atoi(argv[1])) : 3;
    bool met = true;
    for (bool line_breaks : {false, true}) {
        if (runs == 0) break; // the line's pace alone
        std::vector<double> ratios;
        for (int run = 0; run < runs; ++run) {
            Conversation c = converse(line_breaks);
            ratios.push_back(c.ratio());
            bool memory_ok = c.bytes_per_byte <= max_bytes_per_byte;
            met = met && c.intact && memory_ok;
            std::printf("  %-17s start %6.1f us, end %6.1f us an arrival: end / start %.2f; %.2f bytes a byte%s%s\n",
                        line_breaks ? "with line breaks:" : "no line break:", c.first_us, c.last_us, c.ratio(),
                        c.bytes_per_byte, c.intact ? "" : "; TEXT LOST", memory_ok ? "" : "  <- CLAIM MISSED");
        }
        double ratio = median(ratios);
        met = met && ratio <= max_ratio;
        std::printf("  %s: median end / start %.2f%s\n", line_breaks ? "with line breaks" : "no line break", ratio,
                    ratio <= max_ratio ? "" : "  <- CLAIM MISSED");
    }
    std::printf("%zu KB at the line's pace (%.0f bit/s, %zu-byte arrivals), no line break; claim: at most %.1f ms\n"
                "of CPU a KB\n",
                paced_total / 1024, line_bps, paced_piece, max_ms_per_kb);
    Paced paced = at_line_pace();
    bool paced_ok = paced.intact && paced.ms_per_kb <= max_ms_per_kb;
    met = met && paced_ok;
    std::printf("  %.3f ms of CPU a KB%s%s\n", paced.ms_per_kb, paced.intact ? "" : "; TEXT LOST",
                paced_ok ? "" : "  <- CLAIM MISSED");
    std::printf("%s\n", met ? "claims met" : "claims MISSED");
    return met ? 0 : 1;
}
