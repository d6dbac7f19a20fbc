// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/termios_line.h"

#include "modem/serial_rate.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace quillon {
namespace {

constexpr int line_error_poll_ms = 250;

std::string user_name(uid_t uid) {
    const passwd* entry = ::getpwuid(uid);
    return entry ? entry->pw_name : std::to_string(uid);
}

std::string group_name(gid_t gid) {
    const group* entry = ::getgrgid(gid);
    return entry ? entry->gr_name : std::to_string(gid);
}

// Who may use the device and how this user can become one of them.
std::string permission_text(const std::string& device) {
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0) return "Permission denied on " + device;
    std::string text = "Permission denied on " + device + " (owner " + user_name(st.st_uid) + ", group " +
                       group_name(st.st_gid) + ")";
    bool group_may = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (st.st_gid != 0 && group_may) {
        std::string group = group_name(st.st_gid);
        return text + ": join the group " + group + " (sudo adduser " + user_name(::getuid()) + " " + group +
               "), then log out and in again";
    }
    return text + ": only its owner may use it; an administrator can give it to the group dialout (a udev rule)";
}

std::string open_failure_text(const std::string& device, int error) {
    switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV: return device + " does not exist";
    case EBUSY: return device + " is in use by another program";
    case EACCES:
    case EPERM: return permission_text(device);
    case ENOTTY: return device + " is not a serial port";
    default: return device + ": " + std::strerror(error);
    }
}

[[noreturn]] void throw_open_failure(const std::string& device, int error) {
    std::string text = open_failure_text(device, error);
    if (error == ENOENT || error == ENXIO || error == ENODEV) throw LineError(text);
    throw DeviceUnavailable(text);
}

// Raw 8N1: eight data bits, no parity, one stop bit, no flow control of
// either kind, no input or output processing, the receiver on. CLOCAL keeps
// a carrier loss from hanging up the tty: the modem's lines are read by the
// program itself, and HUPCL drops DTR when the port closes, so the modem
// hangs up with it.
void make_raw(termios& tio) {
    tio.c_iflag = IGNBRK | IGNPAR; // breaks and bad bytes are counted by the driver, not read as NULs
    tio.c_oflag = 0;
    tio.c_lflag = 0;
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL | HUPCL;
    // A read returns what is there, or EAGAIN; 0 then means a hang-up.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
}

bool is_raw(const termios& tio) {
    termios want = tio;
    make_raw(want);
    return tio.c_iflag == want.c_iflag && tio.c_oflag == want.c_oflag && tio.c_lflag == want.c_lflag &&
           tio.c_cflag == want.c_cflag && tio.c_cc[VMIN] == 1 && tio.c_cc[VTIME] == 0;
}

} // namespace

TermiosLine::TermiosLine(EventLoop& loop, const std::string& device, const std::string& lock_dir)
    : loop_(loop), device_(device) {
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0) throw_open_failure(device, errno);
    lock_ = std::make_unique<TtyLock>(device, lock_dir);
    open_device();
    try {
        configure();
    } catch (...) {
        ::close(fd_);
        throw;
    }
    output_ = std::make_unique<QueuedOutput>(
        loop_, [fd = fd_](const char* data, std::size_t size) { return ::write(fd, data, size); });
    output_->on_failed = [this] { lost(); };
    output_->on_stalled = [this] { report(comm_event::tx_full); };
    errors_ = std::make_unique<LineErrorCounter>([fd = fd_] { return read_driver_counts(fd); });
    if (errors_->available()) error_timer_ = loop_.start_timer(line_error_poll_ms, [this] { check_line_errors(); });
    watch_ = loop_.watch_readable(fd_, [this] { readable(); });
}

void TermiosLine::open_device() {
    fd_ = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) throw_open_failure(device_, errno);
    termios tio{};
    int error = 0;
    if (::tcgetattr(fd_, &tio) != 0) error = errno == EINVAL ? ENOTTY : errno;
    else if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) error = errno == EWOULDBLOCK ? EBUSY : errno;
    else if (::ioctl(fd_, TIOCEXCL) != 0) error = errno;
    if (error == 0) return;
    ::close(fd_);
    throw_open_failure(device_, error);
}

void TermiosLine::configure() {
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) throw_open_failure(device_, errno);
    make_raw(tio);
    ::cfsetispeed(&tio, B57600);
    ::cfsetospeed(&tio, B57600);
    // tcsetattr succeeds when the driver took any part, so what holds is read back.
    termios now{};
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0 || ::tcgetattr(fd_, &now) != 0 || !is_raw(now))
        throw DeviceUnavailable(device_ + " refused the line settings (8 data bits, no parity, 1 stop bit, no flow control)");
    rate_ = set_serial_rate(fd_);
    if (rate_ == 0) throw DeviceUnavailable(device_ + " refused the line speed of 56000 and 57600 bit/s");
    // What the device held from before is no answer to us.
    ::tcflush(fd_, TCIFLUSH);
}

TermiosLine::~TermiosLine() {
    output_.reset();
    if (error_timer_) loop_.stop_timer(error_timer_);
    if (watch_) loop_.unwatch(watch_);
    close_device();
}

void TermiosLine::close_device() {
    if (fd_ < 0) return;
    ::ioctl(fd_, TIOCNXCL); // the tty may outlive us in other hands
    ::close(fd_);
    fd_ = -1;
    lock_.reset();
}

void TermiosLine::readable() {
    std::size_t before = pending_.size();
    take_input(pending_);
    if (pending_.size() > before && listener_) listener_->line_readable();
}

// Reads everything the driver holds. A hung-up tty reads 0 and a vanished
// one fails, for ever: that is reported once and the tty no longer watched.
void TermiosLine::take_input(std::string& into) {
    if (lost_) return;
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n > 0) {
            into.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        return lost();
    }
}

void TermiosLine::lost() {
    if (lost_) return;
    lost_ = true;
    if (watch_) loop_.unwatch(watch_);
    watch_ = 0;
    if (error_timer_) loop_.stop_timer(error_timer_);
    error_timer_ = 0;
    output_->stop();
    // Let go of the device at once: a re-plugged adapter or another program
    // may want it while the window still shows the call.
    close_device();
    report(comm_event::port_error);
}

void TermiosLine::report(int event_code) {
    if (listener_) listener_->line_error(event_code);
}

void TermiosLine::check_line_errors() {
    for (int code : errors_->new_events()) report(code);
}

void TermiosLine::write(std::string_view bytes) {
    if (lost_) return;
    if (!output_->write(bytes)) lost();
}

void TermiosLine::read_available(std::string& into) {
    into += pending_;
    pending_.clear();
    take_input(into);
}

std::size_t TermiosLine::bytes_waiting() {
    int queued = 0;
    if (lost_ || ::ioctl(fd_, FIONREAD, &queued) != 0) queued = 0;
    return pending_.size() + static_cast<std::size_t>(queued);
}

std::size_t TermiosLine::output_pending() {
    if (lost_) return 0;
    int queued = 0;
    if (::ioctl(fd_, TIOCOUTQ, &queued) != 0) queued = 0;
    return output_->size() + static_cast<std::size_t>(queued);
}

ModemLines TermiosLine::modem_lines() {
    int bits = 0;
    if (lost_ || ::ioctl(fd_, TIOCMGET, &bits) != 0) return {};
    return {(bits & TIOCM_CAR) != 0, (bits & TIOCM_DSR) != 0, (bits & TIOCM_RNG) != 0};
}

// A driver without the lines keeps the flag off, or keeps it to no effect.
bool TermiosLine::set_flow_control(bool rts_cts) {
    termios tio{};
    if (lost_ || ::tcgetattr(fd_, &tio) != 0) return false;
    if (rts_cts) tio.c_cflag |= CRTSCTS;
    else tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    // tcsetattr succeeds when any part was taken: read back what holds.
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0 || ::tcgetattr(fd_, &tio) != 0) return false;
    return ((tio.c_cflag & CRTSCTS) != 0) == rts_cts;
}

void TermiosLine::set_dtr(bool on) {
    int bit = TIOCM_DTR;
    if (!lost_) ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit); // a pty has no DTR; nothing to do then
}

} // namespace quillon
