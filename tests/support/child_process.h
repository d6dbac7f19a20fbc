// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "modem/tcp_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace quillon::testing {

// Forks argv with its standard streams on the given descriptors (-1: its
// errors go nowhere), in folder unless that is empty.
inline pid_t spawn(const std::vector<std::string>& argv, const std::string& folder, int in, int out, int err) {
    pid_t pid = fork();
    if (pid == 0) {
        if (in >= 0) dup2(in, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err >= 0 ? err : open("/dev/null", O_WRONLY), STDERR_FILENO);
        if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    return pid;
}

// Adds what fd brings to buffer until it holds a whole line; false when the
// time is up or fd ends first.
inline bool read_to_line_end(int fd, std::string& buffer, double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (buffer.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        char chunk[1024];
        ssize_t n = 0;
        if (left.count() < 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0 || (n = read(fd, chunk, sizeof chunk)) <= 0)
            return false;
        buffer.append(chunk, static_cast<std::size_t>(n));
    }
    return true;
}

// A program started by a test, killed when the test is done with it.
class ChildProcess {
public:
    // with_stderr: its standard error comes in the same lines.
    explicit ChildProcess(const std::vector<std::string>& argv, bool with_stderr = false) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
        pid_ = spawn(argv, "", -1, fds[1], with_stderr ? fds[1] : STDERR_FILENO);
        if (pid_ < 0) throw std::runtime_error("fork");
        close(fds[1]);
        out_fd_ = fds[0];
    }
    ~ChildProcess() {
        if (!status_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(out_fd_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of its standard output, within timeout seconds.
    std::optional<std::string> read_line(double timeout_seconds) {
        if (!read_to_line_end(out_fd_, buffered_, timeout_seconds)) return std::nullopt;
        std::size_t end = buffered_.find('\n');
        std::string line = buffered_.substr(0, end);
        buffered_.erase(0, end + 1);
        return line;
    }
    void terminate(int signal_number = SIGTERM) { kill(pid_, signal_number); }
    int pid() const { return pid_; }
    // Its exit status once it has ended, within timeout seconds.
    std::optional<int> wait(double timeout_seconds) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_seconds);
        // Looked at once at least: wait(0) asks without waiting.
        for (bool first = true; !status_ && (first || std::chrono::steady_clock::now() < deadline); first = false) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
            else if (std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return status_;
    }

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
inline std::optional<PipedChild> spawn_piped(const std::vector<std::string>& argv, const std::string& folder) {
    int to_child[2], from_child[2];
    if (pipe2(to_child, O_CLOEXEC) != 0) return std::nullopt;
    if (pipe2(from_child, O_CLOEXEC) != 0) {
        close(to_child[0]);
        close(to_child[1]);
        return std::nullopt;
    }
    pid_t pid = spawn(argv, folder, to_child[0], from_child[1], -1);
    close(to_child[0]);
    close(from_child[1]);
    return PipedChild{pid, to_child[1], from_child[0]};
}

// Sends one line to 127.0.0.1:port and returns the one-line answer.
inline std::string ask_line(int port, const std::string& line, double timeout_seconds = 5) {
    int fd = connect_tcp("127.0.0.1", port, timeout_seconds);
    std::string request = line + "\n", answer;
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    read_to_line_end(fd, answer, timeout_seconds);
    close(fd);
    return answer.substr(0, answer.find('\n'));
}

} // namespace quillon::testing
