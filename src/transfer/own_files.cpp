#include "transfer/own_files.h"

#include "app/program.h"

#include <filesystem>

namespace quillon {

namespace {
namespace fs = std::filesystem;

// Through links and "..", and by inode when both exist (hard links).
bool same_file(const fs::path& a, const fs::path& b) {
    std::error_code error;
    bool same = fs::equivalent(a, b, error);
    // Settled unless neither exists yet (or either cannot be looked at).
    if (!error) return same;
    fs::path ca = fs::weakly_canonical(a, error);
    if (error) return false;
    fs::path cb = fs::weakly_canonical(b, error);
    return !error && ca == cb;
}
} // namespace

bool is_own_file(const Program& program, const std::string& path) {
    static const std::string executable = [] {
        std::error_code error;
        return fs::read_symlink("/proc/self/exe", error).string();
    }();
    for (const std::string& own : {program.files.spool_file(), program.files.settings_file(),
                                   program.files.address_book(), executable})
        if (!own.empty() && same_file(path, own)) return true;
    return false;
}

} // namespace quillon
