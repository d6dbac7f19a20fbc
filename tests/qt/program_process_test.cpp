#include "support/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

namespace quillon {
namespace {

using testing::ChildProcess;

bool eventually(const std::function<bool()>& done, double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// The real program, on the offscreen platform, on a simulated modem: what
// it says at start-up reaches the line, and SIGTERM runs the shut-down.
TEST(ProgramProcess, StartsOnANetworkPortAndWritesItsSettingsOnSigterm) {
    const std::string program_dir = QUILLON_PROGRAM_DIR;
    testing::TempDir dir;
    ChildProcess sim({program_dir + "/quillon-linesim", "--modem", "5551001@0", "--transcript", dir.file("line.log")});
    std::smatch m;
    std::string ready = sim.read_line(10).value_or("");
    ASSERT_TRUE(std::regex_search(ready, m, std::regex("127.0.0.1:(\\d+)"))) << ready;

    std::filesystem::copy_file(program_dir + "/quillon", dir.file("quillon"));
    std::filesystem::copy(program_dir + "/images", dir.file("images"));
    dir.write("quillon.ini", "; my settings\n[Quillon]\nPORTNO.=1\nDIALMODE=pulse\n[Ports]\nCOMM1=rfc2217://127.0.0.1:" +
                                 m[1].str() + "\n");
    ChildProcess quillon({dir.file("quillon")});
    ASSERT_TRUE(eventually([&] { return dir.read("line.log").find("modem \"ATE0\\x0D\"") != std::string::npos; }, 20))
        << dir.read("line.log");
    EXPECT_NE(dir.read("line.log").find("computer 5551001 > modem \"AT&D2\\x0D\""), std::string::npos);

    quillon.terminate();
    EXPECT_EQ(quillon.wait(10), 0);
    EXPECT_EQ(dir.read("quillon.ini"), "; my settings\n[Quillon]\nPORTNO.=1\nDIALMODE=pulse     \n[Ports]\nCOMM1=rfc2217://127.0.0.1:" +
                                           m[1].str() + "\n");
}

} // namespace
} // namespace quillon
