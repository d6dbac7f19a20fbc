// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillon {

// What the line's handlers ask of the file transfer, which sits above them:
// where the bytes of a transfer go, and who lets go when the call drops.
class TransferLink {
public:
    // A send or a reception is under way.
    virtual bool in_progress() const = 0;
    // A send of ours is under way: only then is a request the peer's answer.
    virtual bool sending() const = 0;
    // The peer's opening frame arrived: the reception starts.
    virtual void receive_file() = 0;
    // The peer asked for the next block of the file being sent.
    virtual void send_next_block() = 0;
    // The carrier went: a transfer in progress cannot finish.
    virtual void call_lost() = 0;

protected:
    ~TransferLink() = default;
};

} // namespace quillon
