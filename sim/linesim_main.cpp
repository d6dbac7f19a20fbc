// SPDX-License-Identifier: GPL-3.0-or-later
// quillon-linesim: emulated modems on a telephone exchange, served as
// RFC 2217 ports on the loopback interface.
#include "base/poll_event_loop.h"
#include "sim/control_channel.h"
#include "sim/exchange.h"
#include "sim/hayes_modem.h"
#include "sim/linesim_options.h"
#include "sim/port_server.h"
#include "sim/real_clock.h"
#include "sim/test_line.h"
#include "sim/transcript.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

using namespace quillon;
using namespace quillon::sim;

namespace {

int stop_pipe[2] = {-1, -1};

void on_signal(int) {
    char c = 1;
    [[maybe_unused]] auto n = write(stop_pipe[1], &c, 1);
}

void stop_on_signals(PollEventLoop& loop) {
    if (pipe2(stop_pipe, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("cannot create a pipe");
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    loop.watch_readable(stop_pipe[0], [&loop] { loop.quit(); });
}

int run(const LinesimOptions& options) {
    PollEventLoop loop;
    stop_on_signals(loop);
    RealClock clock(loop);
    double started = clock.now();
    auto elapsed = [&] { return clock.now() - started; };
    Transcript transcript(options.transcript);
    if (!options.transcript.empty() && !transcript.open())
        throw std::runtime_error("cannot write the transcript " + options.transcript);

    Exchange::Config config;
    config.rate_bps = options.rate_bps;
    config.latency_seconds = options.latency_ms / 1000;
    Exchange exchange(clock, config);
    if (transcript.open())
        exchange.on_carried = [&](const std::string& from, const std::string& to, std::string_view bytes) {
            transcript.record(elapsed(), "line " + from, to, bytes);
        };
    std::string connect = options.connect_text;
    if (connect.empty()) connect = "CONNECT " + std::to_string(static_cast<long>(options.rate_bps));

    std::vector<std::unique_ptr<HayesModem>> modems;
    std::vector<std::unique_ptr<PortServer>> servers;
    std::string ready = "quillon-linesim ready:";
    for (const auto& m : options.modems) {
        modems.push_back(std::make_unique<HayesModem>(exchange, m.number));
        modems.back()->set_connect_text(connect);
        servers.push_back(std::make_unique<PortServer>(loop, *modems.back(), m.port, transcript, elapsed));
        ready += " " + m.number + " on 127.0.0.1:" + std::to_string(servers.back()->port());
    }
    // Each test line keeps its files in a folder of its own while it runs.
    std::vector<std::string> folders;
    std::vector<std::unique_ptr<TestLine>> test_lines;
    for (const auto& number : options.test_lines) {
        std::string folder = (std::filesystem::temp_directory_path() / "quillon-test-line-XXXXXX").string();
        if (!mkdtemp(folder.data())) throw std::runtime_error("cannot make a folder for the test line");
        folders.push_back(folder);
        test_lines.push_back(std::make_unique<TestLine>(loop, exchange, number, folder));
        ready += " " + number + " test line";
    }
    std::unique_ptr<ControlChannel> control;
    if (options.control_port >= 0) {
        control = std::make_unique<ControlChannel>(loop, exchange, options.control_port);
        ready += ", control on 127.0.0.1:" + std::to_string(control->port());
    }
    std::printf("%s\n", ready.c_str());
    std::fflush(stdout);
    loop.run();
    test_lines.clear();
    for (const auto& folder : folders) std::filesystem::remove_all(folder);
    std::printf("quillon-linesim stopped\n");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        LinesimOptions options = parse_linesim_options(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help) {
            std::fputs(linesim_usage, stdout);
            return 0;
        }
        if (options.version) {
            std::printf("quillon-linesim %s\n", QUILLON_VERSION);
            return 0;
        }
        return run(options);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "quillon-linesim: %s\n\n%s", e.what(), linesim_usage);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quillon-linesim: %s\n", e.what());
        return 1;
    }
}
