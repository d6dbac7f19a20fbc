// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/assumed_carrier.h"

#include <algorithm>

namespace quillon {
namespace {
constexpr std::string_view connect = "CONNECT";
constexpr std::string_view no_carrier = "NO CARRIER";
} // namespace

void AssumedCarrier::scan(std::string_view arrived) {
    std::string text = tail_;
    text += arrived;
    // The later word of the two decides.
    std::size_t up_at = text.rfind(connect);
    std::size_t down_at = text.rfind(no_carrier);
    if (up_at != std::string::npos && (down_at == std::string::npos || up_at > down_at)) up_ = true;
    else if (down_at != std::string::npos) up_ = false;
    // Enough to finish either word next time, and no more: a word found
    // now is not found again.
    std::size_t keep = no_carrier.size() - 1;
    std::size_t from = text.size() > keep ? text.size() - keep : 0;
    if (up_at != std::string::npos) from = std::max(from, up_at + connect.size());
    if (down_at != std::string::npos) from = std::max(from, down_at + no_carrier.size());
    tail_ = text.substr(std::min(from, text.size()));
}

} // namespace quillon
