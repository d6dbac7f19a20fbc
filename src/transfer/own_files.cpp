#include "transfer/own_files.h"

#include "app/program.h"

#include <filesystem>

namespace quillon {

namespace {
namespace fs = std::filesystem;

// Through links and "..", and by inode when both exist (hard links).
bool same_file(const fs::path& a, const fs::path& b) {
    std::error_code error;
    if (fs::equivalent(a, b, error)) return true;
    fs::path ca = fs::weakly_canonical(a, error);
    if (error) return false;
    fs::path cb = fs::weakly_canonical(b, error);
    return !error && ca == cb;
}
} // namespace

bool is_own_file(const Program& program, const std::string& path) {
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    for (const std::string& own : {program.files.spool_file(), program.files.settings_file(),
                                   program.files.address_book(), executable.string()})
        if (!own.empty() && same_file(path, own)) return true;
    return false;
}

} // namespace quillon
