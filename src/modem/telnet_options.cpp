// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem/telnet_options.h"

#include "modem/telnet_codec.h"

namespace quillon::telnet {

std::string OptionNegotiator::request_will(std::uint8_t opt) {
    if (local_.count(opt) || local_asked_.count(opt)) return {};
    local_asked_.insert(opt);
    return option(will, opt);
}

std::string OptionNegotiator::request_do(std::uint8_t opt) {
    if (remote_.count(opt) || remote_asked_.count(opt)) return {};
    remote_asked_.insert(opt);
    return option(do_, opt);
}

std::string OptionNegotiator::receive(std::uint8_t command, std::uint8_t opt) {
    switch (command) {
    case do_:
        if (!accept_local_.count(opt)) {
            if (!refused_local_.insert(opt).second) return {};
            return option(wont, opt);
        }
        if (local_.count(opt)) return {};
        local_.insert(opt);
        return local_asked_.erase(opt) ? std::string() : option(will, opt);
    case dont:
        if (local_asked_.erase(opt)) return {};
        if (!local_.erase(opt)) return {};
        return option(wont, opt);
    case will:
        if (!accept_remote_.count(opt)) {
            if (!refused_remote_.insert(opt).second) return {};
            return option(dont, opt);
        }
        if (remote_.count(opt)) return {};
        remote_.insert(opt);
        return remote_asked_.erase(opt) ? std::string() : option(do_, opt);
    case wont:
        if (remote_asked_.erase(opt)) return {};
        if (!remote_.erase(opt)) return {};
        return option(dont, opt);
    default: return {};
    }
}

} // namespace quillon::telnet
