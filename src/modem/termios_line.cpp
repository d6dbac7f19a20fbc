#include "modem/termios_line.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace quillon {
namespace {

std::string open_failure(const std::string& device, int error) {
    switch (error) {
    case ENOENT: return device + " does not exist";
    case EBUSY: return device + " is in use by another program";
    case EACCES: return "Permission denied on " + device;
    case ENOTTY: return device + " is not a serial port";
    default: return device + ": " + std::strerror(error);
    }
}

} // namespace

TermiosLine::TermiosLine(EventLoop& loop, const std::string& device) : loop_(loop), device_(device) {
    fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) throw LineError(open_failure(device, errno));
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0 || ::ioctl(fd_, TIOCEXCL) != 0) {
        int error = errno;
        ::close(fd_);
        throw LineError(open_failure(device, error == EINVAL ? ENOTTY : error));
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~CRTSCTS;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    // 56000 is no standard rate; the nearest one the driver surely takes.
    ::cfsetispeed(&tio, B57600);
    ::cfsetospeed(&tio, B57600);
    ::tcsetattr(fd_, TCSANOW, &tio);
    watch_ = loop_.watch_readable(fd_, [this] { readable(); });
}

TermiosLine::~TermiosLine() {
    if (watch_) loop_.unwatch(watch_);
    if (fd_ >= 0) ::close(fd_);
}

void TermiosLine::readable() {
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n > 0) {
            pending_.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EIO) {
            if (listener_) listener_->line_error(comm_event::port_error);
        }
        // A pty whose other side is closed reads EIO for ever: stop watching.
        if (n < 0 && errno == EIO && watch_) {
            loop_.unwatch(watch_);
            watch_ = 0;
        }
        break;
    }
    if (!pending_.empty() && listener_) listener_->line_readable();
}

void TermiosLine::write(std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            // The driver's buffer is full: wait for room, but not for ever.
            pollfd p{fd_, POLLOUT, 0};
            if (::poll(&p, 1, 5000) > 0) continue;
        }
        throw LineError(device_ + ": " + std::strerror(errno));
    }
}

std::string TermiosLine::read_available() {
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd_, buffer, sizeof buffer)) > 0) pending_.append(buffer, static_cast<std::size_t>(n));
    std::string out;
    out.swap(pending_);
    return out;
}

std::size_t TermiosLine::bytes_waiting() {
    int queued = 0;
    if (::ioctl(fd_, FIONREAD, &queued) != 0) queued = 0;
    return pending_.size() + static_cast<std::size_t>(queued);
}

ModemLines TermiosLine::modem_lines() {
    int bits = 0;
    if (::ioctl(fd_, TIOCMGET, &bits) != 0) return {};
    return {(bits & TIOCM_CAR) != 0, (bits & TIOCM_DSR) != 0, (bits & TIOCM_RNG) != 0};
}

void TermiosLine::set_dtr(bool on) {
    int bit = TIOCM_DTR;
    ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit); // a pty has no DTR; nothing to do then
}

} // namespace quillon
