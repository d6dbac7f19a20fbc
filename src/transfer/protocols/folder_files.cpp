// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/protocols/folder_files.h"

#include "transfer/replacing_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quillon {

namespace {
class FileSource : public ByteSource {
public:
    explicit FileSource(int fd) : fd_(fd) {}
    ~FileSource() override { ::close(fd_); }
    std::optional<std::string> read(std::uint64_t offset, std::size_t max) override {
        std::string bytes(max, '\0');
        std::size_t got = 0;
        while (got < max) {
            ssize_t n = ::pread(fd_, bytes.data() + got, max - got, static_cast<off_t>(offset + got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return std::nullopt;
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
        return bytes;
    }

private:
    int fd_;
};

// "a.txt", 2 -> "a (2).txt"; a leading dot is not an extension.
std::string numbered(const std::string& name, int n) {
    if (n == 0) return name;
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) dot = name.size();
    return name.substr(0, dot) + " (" + std::to_string(n) + ")" + name.substr(dot);
}

bool place_without_replacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without RENAME_NOREPLACE: a link fails just as surely
    // when the name is taken.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}
} // namespace

class FolderFile : public IncomingFile {
public:
    FolderFile(FolderSink& sink, std::string name, std::string temporary, int fd, std::int64_t mtime)
        : sink_(sink), name_(std::move(name)), temporary_(std::move(temporary)), fd_(fd), mtime_(mtime) {
        struct stat st {};
        if (::fstat(fd_, &st) == 0) resume_from_ = static_cast<std::uint64_t>(st.st_size);
    }
    ~FolderFile() override {
        if (fd_ < 0) return;
        ::close(fd_);
        if (!sink_.keep_partials_) ::unlink(temporary_.c_str());
    }
    std::uint64_t resume_from() const override { return resume_from_; }

    bool write(std::string_view bytes) override { return write_all(fd_, bytes); }

    bool finish() override {
        if (mtime_ > 0) {
            struct timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(mtime_), 0}};
            ::futimens(fd_, times);
        }
        bool closed = ::close(fd_) == 0;
        fd_ = -1;
        for (int n = 0; closed && n < 1000; ++n) {
            std::string path = sink_.folder_ + "/" + numbered(name_, n);
            if (place_without_replacing(temporary_, path)) {
                sink_.received_.push_back(path);
                return true;
            }
            if (errno != EEXIST) break;
        }
        ::unlink(temporary_.c_str());
        return false;
    }

private:
    FolderSink& sink_;
    std::string name_;
    std::string temporary_;
    int fd_;
    std::int64_t mtime_;
    std::uint64_t resume_from_ = 0;
};

std::optional<OutgoingFile> file_to_send(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    OutgoingFile file;
    file.name = path.substr(path.rfind('/') + 1);
    file.size = static_cast<std::uint64_t>(st.st_size);
    file.mtime = st.st_mtime;
    file.source = std::make_shared<FileSource>(fd);
    return file;
}

std::string safe_file_name(std::string_view offered) {
    std::size_t cut = offered.find_last_of("/\\");
    if (cut != std::string_view::npos) offered.remove_prefix(cut + 1);
    std::string name;
    for (unsigned char c : offered)
        if (c >= 0x20 && c != 0x7F) name += static_cast<char>(c);
    if (name.size() > 200) name.resize(200);
    while (!name.empty() && name.front() == '.') name.erase(0, 1);
    return name.empty() ? "received" : name;
}

std::unique_ptr<IncomingFile> FolderSink::open(const IncomingHeader& header) {
    std::string name = safe_file_name(header.name);
    int fd = -1;
    std::string temporary;
    if (keep_partials_) {
        // Never through a link someone left in the folder.
        temporary = folder_ + "/" + name + ".part";
        fd = ::open(temporary.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        struct stat st {};
        if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
            ::close(fd);
            return nullptr;
        }
    } else {
        std::string pattern = folder_ + "/." + name + ".part-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        fd = ::mkostemp(buffer.data(), O_CLOEXEC);
        if (fd >= 0) give_usual_permissions(fd);
        temporary = buffer.data();
    }
    if (fd < 0) return nullptr;
    return std::make_unique<FolderFile>(*this, name, temporary, fd, header.mtime);
}

} // namespace quillon
