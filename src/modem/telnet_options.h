// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <set>
#include <string>

namespace quillon::telnet {

// Telnet option negotiation for one connection: each request is answered
// once and an answer is never answered, so two peers cannot loop.
class OptionNegotiator {
public:
    // The options this side will enable on its own end (WILL) and asks or
    // lets the peer enable (DO).
    OptionNegotiator(std::set<std::uint8_t> local, std::set<std::uint8_t> remote)
        : accept_local_(std::move(local)), accept_remote_(std::move(remote)) {}

    // Our own requests, to send at the start.
    std::string request_will(std::uint8_t opt);
    std::string request_do(std::uint8_t opt);
    // The reply to a received WILL, WONT, DO or DONT; often nothing.
    std::string receive(std::uint8_t command, std::uint8_t opt);

    bool local_on(std::uint8_t opt) const { return local_.count(opt) > 0; }
    bool remote_on(std::uint8_t opt) const { return remote_.count(opt) > 0; }

private:
    std::set<std::uint8_t> accept_local_, accept_remote_;
    std::set<std::uint8_t> local_, remote_;                    // enabled
    std::set<std::uint8_t> local_asked_, remote_asked_;        // our requests not yet answered
    std::set<std::uint8_t> refused_local_, refused_remote_;    // refusals already sent
};

} // namespace quillon::telnet
