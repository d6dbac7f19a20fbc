// SPDX-License-Identifier: GPL-3.0-or-later
#include "transfer/transfer_report.h"

#include <cmath>

namespace quillon {

std::optional<std::string> transfer_report_text(int start_time, int end_time, const std::string& file_name,
                                                int size) {
    long long e = static_cast<long long>(end_time) - start_time;
    if (e < 0) e += 86400;
    if (e == 0) return std::nullopt;
    std::string time_part;
    if (e < 60) {
        time_part = " 00 : 00 : " + std::to_string(e);
    } else if (e < 3600) {
        long long m = e / 60;
        time_part = " 00 : " + std::to_string(m) + " : " + std::to_string(e - 60 * m);
    } else {
        long long h = e / 3600;
        long long m = (e - 3600 * h) / 60;
        time_part = std::to_string(h) + " : " + std::to_string(m) + " : " + std::to_string(e - 3600 * h - 60 * m);
    }
    auto speed = static_cast<long long>(std::floor(static_cast<double>(size) / static_cast<double>(e)));
    return "filename : " + file_name + "\r\nfilesize : " + std::to_string(size) + " bytes\r\ntime taken :" +
           time_part + "\r\naverage speed : " + std::to_string(speed) + "bps";
}

void show_transfer_report(Dialogs& dialogs, int start_time, int end_time, const std::string& file_name, int size) {
    if (auto text = transfer_report_text(start_time, end_time, file_name, size)) dialogs.message(*text, Icon::none);
}

} // namespace quillon
