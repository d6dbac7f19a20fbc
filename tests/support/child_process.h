// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <csignal>
#include <optional>
#include <sys/types.h>
#include <string>
#include <vector>

namespace quillon::testing {

// A program started by a test, killed when the test is done with it.
class ChildProcess {
public:
    // with_stderr: its standard error comes in the same lines.
    explicit ChildProcess(const std::vector<std::string>& argv, bool with_stderr = false);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of its standard output, within timeout seconds.
    std::optional<std::string> read_line(double timeout_seconds);
    void terminate(int signal_number = SIGTERM);
    int pid() const { return pid_; }
    // Its exit status once it has ended, within timeout seconds.
    std::optional<int> wait(double timeout_seconds);

private:
    int pid_ = -1;
    int out_fd_ = -1;
    std::string buffered_;
    std::optional<int> status_;
};

// A program run in folder with its standard input and output on pipes
// (its errors go nowhere): write to to_child, read from from_child.
struct PipedChild {
    pid_t pid = -1;
    int to_child = -1;
    int from_child = -1;
};
std::optional<PipedChild> spawn_piped(const std::vector<std::string>& argv, const std::string& folder);

// Sends one line to 127.0.0.1:port and returns the one-line answer.
std::string ask_line(int port, const std::string& line, double timeout_seconds = 5);

} // namespace quillon::testing
