// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/session_clock.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace quillon {
namespace {

std::string local_date_today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

} // namespace

SessionClock::SessionClock(EventLoop& loop) : calendar(local_date_today), loop_(loop) {}

std::string SessionClock::time_of_day() const {
    return clock_text(std::fmod(loop_.time_of_day(), 86400.0));
}

std::string clock_text(double seconds) {
    long total = seconds < 0 ? 0 : static_cast<long>(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    return text;
}

} // namespace quillon
