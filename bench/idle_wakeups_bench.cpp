// SPDX-License-Identifier: GPL-3.0-or-later
// The real program (its windows on a display of its own, or else on Qt's
// offscreen platform) on a port of the line simulator, left alone for 30
// seconds not connected, then 30 seconds
// in a quiet call that a program core here placed to it. Counts the times
// its threads gave up the processor of their own accord (voluntary context
// switches: each is a sleep and a wake-up) and its CPU time. Claims: at most
// one wake-up a second not connected, at most two in a call. Exits 1 when a
// claim fails; about ninety seconds.
#include "addressbook/sqlite_address_store.h"
#include "app/program.h"
#include "base/poll_event_loop.h"
#include "base/program_end.h"
#include "modem/device_opener.h"
#include "line_simulator.h"
#include "support/child_process.h"
#include "support/line_recorder.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

using namespace quillon;

constexpr double seconds_watched = 30, max_idle = 1.0, max_in_call = 2.0;


std::string ini_for(int port) {
    return "[Quillon]\nPORTNO.=1\nDIALMODE=tone\n[Ports]\nCOMM1=rfc2217://127.0.0.1:" + std::to_string(port) + "\n";
}

// The real program from a program directory of its own.
struct RealProgram {
    explicit RealProgram(int port) {
        std::filesystem::copy_file(std::string(QUILLON_PROGRAM_DIR) + "/quillon", dir.file("quillon"));
        std::filesystem::copy(std::string(QUILLON_PROGRAM_DIR) + "/images", dir.file("images"));
        dir.write("quillon.ini", ini_for(port));
        process = std::make_unique<testing::ChildProcess>(std::vector<std::string>{dir.file("quillon")});
    }
    testing::TempDir dir;
    std::unique_ptr<testing::ChildProcess> process;
};

// Voluntary context switches of each of a process's threads so far.
std::map<std::string, long> switches_of(pid_t pid) {
    std::map<std::string, long> counts;
    std::error_code error;
    for (const auto &task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);)
            if (line.starts_with("voluntary_ctxt_switches:")) counts[task.path().filename()] = std::stol(line.substr(24));
    }
    return counts;
}

// The process's CPU time so far, user and system, in seconds.
double cpu_seconds_of(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), {});
    std::istringstream fields(all.substr(all.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; fields >> field && i <= 15; ++i)
        if (i == 14 || i == 15) ticks += std::stol(field); // utime, stime
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Runs the loop here (the calling side, when there is one) while the real
// program is watched; prints and judges what it did. Its threads are read
// each second, so one that ends takes at most a second's count with it.
bool watch(PollEventLoop &loop, pid_t pid, const char *what, double max_per_second) {
    std::map<std::string, long> first = switches_of(pid), last = first;
    double cpu_before = cpu_seconds_of(pid);
    double started = loop.monotonic(), sampled = started;
    testing::wait_for(
        loop,
        [&] {
            if (loop.monotonic() - sampled >= 1) {
                sampled = loop.monotonic();
                for (const auto &[task, count] : switches_of(pid))
                    last[task] = count;
            }
            return loop.monotonic() - started >= seconds_watched;
        },
        seconds_watched + 5);
    for (const auto &[task, count] : switches_of(pid))
        last[task] = count;
    double seconds = loop.monotonic() - started;
    long wakeups = 0;
    for (const auto &[task, count] : last)
        wakeups += count - (first.contains(task) ? first[task] : 0);
    double per_second = static_cast<double>(wakeups) / seconds;
    double cpu_ms_a_minute = (cpu_seconds_of(pid) - cpu_before) * 1000 * 60 / seconds;
    bool met = per_second <= max_per_second;
    std::printf("  %-16s %.2f wake-ups a second, %.0f ms of CPU a minute%s\n", what, per_second, cpu_ms_a_minute,
                met ? "" : "  <- CLAIM MISSED");
    return met;
}

// A display of its own where there is an X server to make one: with no
// window manager the program's window is not the active one, as when the
// user is away, so no cursor blinks. Otherwise Qt's offscreen platform,
// where the window is active and the send box's cursor blinks twice a second.
struct Display {
    Display() {
        if (!std::filesystem::exists(xvfb)) return;
        server = std::make_unique<testing::ChildProcess>(
            std::vector<std::string>{xvfb, "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
        number = server->read_line(10).value_or("");
    }
    // Where the program's windows go; says which.
    const char *use() {
        if (number.empty()) {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            return "Qt's offscreen platform, its window active (the cursor's blinking counted)";
        }
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        setenv("DISPLAY", (":" + number).c_str(), 1);
        return "a display of its own, its window not active";
    }
    static constexpr const char *xvfb = "/usr/bin/Xvfb";
    std::unique_ptr<testing::ChildProcess> server;
    std::string number;
};

int run() {
    Display display;
    const char *where = display.use();
    bench::LineSimulator sim;
    if (!sim.a || !sim.b) {
        std::printf("the line simulator did not start\n");
        return 1;
    }
    PollEventLoop loop;
    RealProgram watched(sim.a);
    pid_t pid = watched.process->pid();

    // The caller: a program core here, on the other modem.
    testing::TempDir dir;
    testing::ScriptedDialogs dialogs;
    testing::FakeMedia media;
    dir.write("quillon.ini", ini_for(sim.b));
    Program caller(Platform{loop, dialogs, media, make_device_opener(loop), make_sqlite_address_store,
                            FileLocations::portable(dir.path()), /*first_run_devices=*/""});
    caller.main_window.Form_Load();
    // The program sets its modem up and has a first 5-second check behind it.
    testing::wait_for(loop, [] { return false; }, 8);

    std::printf("The program on %s, watched for %.0f s in each state;\n"
                "claims: at most %.0f wake-up a second not connected, at most %.0f in a quiet call\n",
                where, seconds_watched, max_idle, max_in_call);
    bool met = watch(loop, pid, "not connected:", max_idle);

    for (char d : std::string("5551001"))
        caller.frmmain.Cmddialn[d - '0'].click();
    caller.frmmain.cmddial.click();
    if (!testing::wait_for(loop, [&] { return caller.state.connected == 1; }, 60)) {
        std::printf("the call did not connect\n");
        return 1;
    }
    testing::wait_for(loop, [] { return false; }, 3); // the answering side's notices are done
    met = watch(loop, pid, "in a quiet call:", max_in_call) && met;
    std::printf("%s\n", met ? "claims met" : "claims MISSED");
    return met ? 0 : 1;
}

} // namespace

int main() try {
    return run();
} catch (const ProgramEnd &) {
    std::printf("the calling program ended\n");
    return 1;
}
