// SPDX-License-Identifier: GPL-3.0-or-later
// Our XMODEM-1K sender, which the program itself never picks, against
// lrzsz's rx over pipes in real time. Every other protocol and direction
// meets lrzsz through the whole program in tests/cli/lrzsz_matrix_test.cpp.
#include "support/child_process.h"
#include "support/random_content.h"
#include "support/temp_dir.h"
#include "transfer/protocols/folder_files.h"
#include "transfer/protocols/xmodem_sender.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillon {
namespace {

// Runs argv in folder with its standard input and output joined to the
// engine, until both have ended or 60 s have passed (then it is killed).
// Returns its exit status, -1 when it had to be killed.
int run_against(TransferEngine& engine, const std::vector<std::string>& argv, const std::string& folder) {
    auto child = testing::spawn_piped(argv, folder);
    if (!child) return -2;
    int out = child->to_child, in = child->from_child;
    ::fcntl(out, F_SETFL, O_NONBLOCK);
    std::signal(SIGPIPE, SIG_IGN);
    const auto start = std::chrono::steady_clock::now();
    auto now = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    };
    std::string pending;
    std::optional<int> status;
    while (now() < 60'000 && (!status || engine.running())) {
        engine.set_time(now());
        if (pending.empty()) pending = engine.take_output(65536);
        pollfd fds[2] = {{in, POLLIN, 0}, {out, static_cast<short>(pending.empty() ? 0 : POLLOUT), 0}};
        ::poll(fds, 2, 20);
        if (in >= 0 && (fds[0].revents & (POLLIN | POLLHUP))) {
            char buffer[65536];
            ssize_t n = ::read(in, buffer, sizeof buffer);
            engine.set_time(now());
            if (n > 0) engine.receive(std::string_view(buffer, static_cast<std::size_t>(n)));
            else in = (::close(in), -1);
        }
        ssize_t n = pending.empty() ? 0 : ::write(out, pending.data(), pending.size());
        if (n > 0) pending.erase(0, static_cast<std::size_t>(n));
        else if (n < 0 && errno != EAGAIN) pending.clear();
        int raw = 0;
        if (!status && ::waitpid(child->pid, &raw, WNOHANG) == child->pid) status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    if (!status) {
        ::kill(child->pid, SIGKILL);
        ::waitpid(child->pid, nullptr, 0);
    }
    if (in >= 0) ::close(in);
    ::close(out);
    return status.value_or(-1);
}

// 1K blocks, the last one short: rx keeps what it got, padded with SUB.
TEST(Lrzsz, Xmodem1kToRxWithCrcAndWithTheSum) {
    if (std::system("command -v rx >/dev/null 2>&1") != 0) GTEST_SKIP() << "lrzsz is not installed";
    testing::TempDir from, into;
    for (const testing::SampleFile& f : testing::sample_files(11)) {
        from.write(f.name, f.content);
        // rx takes CRC-16 with -c and the arithmetic sum without; it takes a
        // second over each file, so the sum is tried on two sizes only.
        for (bool crc : {true, false}) {
            if (!crc && f.content.size() != 129 && f.content.size() != 1025) continue;
            const std::string target = (crc ? "crc " : "sum ") + f.name;
            SCOPED_TRACE(target);
            XmodemSender sender({*file_to_send(from.file(f.name))}, XmodemSender::Variant::xmodem_1k);
            std::vector<std::string> argv = {"rx", "-q"};
            if (crc) argv.push_back("-c");
            argv.push_back(target);
            EXPECT_EQ(run_against(sender, argv, into.path()), 0);
            EXPECT_EQ(sender.state(), EngineState::succeeded) << sender.reason();
            EXPECT_TRUE(testing::same_but_padding(into.read(target), f.content));
        }
    }
}

} // namespace
} // namespace quillon
