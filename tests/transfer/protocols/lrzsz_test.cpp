// SPDX-License-Identifier: GPL-3.0-or-later
// Our engines against lrzsz's sz/rz, sb/rb and sx/rx over pipes, in real
// time: every file arrives byte-identical and both sides say so.
#include "support/child_process.h"
#include "support/random_content.h"
#include "support/temp_dir.h"
#include "transfer/protocols/folder_files.h"
#include "transfer/protocols/xmodem_receiver.h"
#include "transfer/protocols/xmodem_sender.h"
#include "transfer/protocols/zmodem_receiver.h"
#include "transfer/protocols/zmodem_sender.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillon {
namespace {

using testing::TempDir;

bool installed(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs argv in folder with its standard input and output joined to the
// engine, until both have ended or timeout_s has passed (then it is
// killed). Returns its exit status, -1 when it had to be killed.
int run_against(TransferEngine& engine, const std::vector<std::string>& argv, const std::string& folder,
                double timeout_s = 60) {
    auto child = testing::spawn_piped(argv, folder);
    if (!child) return -2;
    const pid_t pid = child->pid;
    int out = child->to_child, in = child->from_child;
    ::fcntl(out, F_SETFL, O_NONBLOCK);
    std::signal(SIGPIPE, SIG_IGN);
    auto start = std::chrono::steady_clock::now();
    auto now = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    };
    std::string pending;
    std::optional<int> status;
    while (now() < timeout_s * 1000 && (!status || engine.running())) {
        engine.set_time(now());
        if (pending.empty() && out >= 0) pending = engine.take_output(65536);
        pollfd fds[2] = {{in, POLLIN, 0}, {out, static_cast<short>(pending.empty() ? 0 : POLLOUT), 0}};
        ::poll(fds, out >= 0 ? 2 : 1, 20);
        if (in >= 0 && (fds[0].revents & (POLLIN | POLLHUP))) {
            char buffer[65536];
            ssize_t n = ::read(in, buffer, sizeof buffer);
            engine.set_time(now());
            if (n > 0) engine.receive(std::string_view(buffer, static_cast<std::size_t>(n)));
            else {
                ::close(in);
                in = -1;
            }
        }
        if (out >= 0 && !pending.empty()) {
            ssize_t n = ::write(out, pending.data(), pending.size());
            if (n > 0) pending.erase(0, static_cast<std::size_t>(n));
            else if (n < 0 && errno != EAGAIN) pending.clear();
        }
        int raw = 0;
        if (!status && ::waitpid(pid, &raw, WNOHANG) == pid) status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    if (!status) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        status = -1;
    }
    if (in >= 0) ::close(in);
    if (out >= 0) ::close(out);
    return *status;
}

using testing::SampleFile;

// Folders of the samples for lrzsz to send, and for it to receive into.
struct Folders {
    TempDir from, into;
    std::vector<std::string> paths;
    std::vector<OutgoingFile> outgoing;
    explicit Folders(const std::vector<SampleFile>& files) {
        for (auto& f : files) {
            from.write(f.name, f.content);
            paths.push_back(from.file(f.name));
            outgoing.push_back(*file_to_send(from.file(f.name)));
        }
    }
};

// XMODEM pads the last block with SUB; lrzsz pads to 1024 after a 1K block.
bool same_but_padding(const std::string& got, const std::string& sent) {
    return got.size() >= sent.size() && got.size() < sent.size() + 1024 && got.compare(0, sent.size(), sent) == 0 &&
           got.find_first_not_of('\x1A', sent.size()) == std::string::npos;
}

TEST(Lrzsz, ZmodemAndYmodemBatchesBothWays) {
    if (!installed("sz") || !installed("rb")) GTEST_SKIP() << "lrzsz is not installed";
    auto files = testing::sample_files(11);
    for (bool ymodem : {false, true}) {
        SCOPED_TRACE(ymodem ? "YMODEM" : "ZMODEM");
        {
            Folders folders(files);
            std::vector<std::string> argv = {ymodem ? "sb" : "sz", "-q"};
            argv.insert(argv.end(), folders.paths.begin(), folders.paths.end());
            FolderSink sink(folders.into.path());
            std::unique_ptr<TransferEngine> receiver;
            if (ymodem) receiver = std::make_unique<XmodemReceiver>(sink);
            else receiver = std::make_unique<ZmodemReceiver>(sink);
            EXPECT_EQ(run_against(*receiver, argv, folders.from.path()), 0);
            EXPECT_EQ(receiver->state(), EngineState::succeeded) << receiver->reason();
            for (auto& f : files) EXPECT_TRUE(folders.into.read(f.name) == f.content) << f.name;
        }
        {
            Folders folders(files);
            std::unique_ptr<TransferEngine> sender;
            if (ymodem) sender = std::make_unique<XmodemSender>(folders.outgoing, XmodemSender::Variant::ymodem);
            else sender = std::make_unique<ZmodemSender>(folders.outgoing);
            EXPECT_EQ(run_against(*sender, {ymodem ? "rb" : "rz", "-q"}, folders.into.path()), 0);
            EXPECT_EQ(sender->state(), EngineState::succeeded) << sender->reason();
            for (auto& f : files) EXPECT_TRUE(folders.into.read(f.name) == f.content) << f.name;
        }
    }
}

TEST(Lrzsz, XmodemWithCrcSumAnd1kBothWays) {
    if (!installed("sx") || !installed("rx")) GTEST_SKIP() << "lrzsz is not installed";
    Folders folders(testing::sample_files(11));
    for (std::size_t i = 0; i < folders.paths.size(); ++i) {
        const std::string& name = folders.outgoing[i].name;
        const std::string sent = folders.from.read(name);
        SCOPED_TRACE(name);
        FolderSink sink(folders.into.path());
        XmodemReceiver receiver(sink, "from sx " + name);
        EXPECT_EQ(run_against(receiver, {"sx", "-q", "-k", folders.paths[i]}, folders.from.path()), 0);
        EXPECT_EQ(receiver.state(), EngineState::succeeded) << receiver.reason();
        EXPECT_TRUE(same_but_padding(folders.into.read("from sx " + name), sent));
        // rx takes CRC-16 with -c and the arithmetic sum without; it takes a
        // second over each file, so the sum is tried on two sizes only.
        for (bool crc : {true, false}) {
            if (!crc && sent.size() != 129 && sent.size() != 1025) continue;
            XmodemSender sender({folders.outgoing[i]}, XmodemSender::Variant::xmodem_1k);
            std::string target = (crc ? "crc " : "sum ") + name;
            std::vector<std::string> argv = {"rx", "-q"};
            if (crc) argv.push_back("-c");
            argv.push_back(target);
            EXPECT_EQ(run_against(sender, argv, folders.into.path()), 0);
            EXPECT_EQ(sender.state(), EngineState::succeeded) << sender.reason();
            EXPECT_TRUE(same_but_padding(folders.into.read(target), sent)) << target;
        }
    }
}

} // namespace
} // namespace quillon

