// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Milliseconds on whatever clock the driver keeps; engines have none.
using EngineTime = std::int64_t;

// Where a file being sent is read from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to max bytes from offset: fewer, or none, at the end; nullopt
    // when the file cannot be read.
    virtual std::optional<std::string> read(std::uint64_t offset, std::size_t max) = 0;
};

struct OutgoingFile {
    std::string name;
    std::uint64_t size = 0;
    std::int64_t mtime = 0; // seconds since 1970; 0 when unknown
    std::shared_ptr<ByteSource> source;
};

// What the sender said of a file it offers.
struct IncomingHeader {
    std::string name;
    std::optional<std::uint64_t> size;
    std::int64_t mtime = 0;
};

// A file being received. Dropped without finish(), it leaves nothing
// behind (or, where partial files are kept, its partial file).
class IncomingFile {
public:
    virtual ~IncomingFile() = default;
    // Bytes of this file already held from an interrupted transfer.
    virtual std::uint64_t resume_from() const = 0;
    virtual bool write(std::string_view bytes) = 0;
    // The file is whole: put it in its place. False when that fails.
    virtual bool finish() = 0;
};

// Where received files go.
class FileSink {
public:
    virtual ~FileSink() = default;
    // nullptr when the file cannot be taken; the engine then skips it
    // where the protocol can, and fails where it cannot.
    virtual std::unique_ptr<IncomingFile> open(const IncomingHeader& header) = 0;
};

enum class EngineState { running, succeeded, cancelled_by_peer, cancelled_by_us, failed };

struct EngineProgress {
    std::string file;                   // the current file's name
    std::uint64_t done = 0;             // its bytes sent or received
    std::optional<std::uint64_t> total; // its size, when known
    int files_done = 0;
};

// One file-transfer protocol's side of a session, as a state machine the
// driver feeds with bytes and time and drains of bytes to send. Every
// timeout is a wake-up the driver is asked for.
class TransferEngine {
public:
    virtual ~TransferEngine() = default;

    // The current time; give it before each receive() and whenever
    // wake_at() comes.
    void set_time(EngineTime now);
    // How many of the bytes the session read: none after its end.
    std::size_t receive(std::string_view bytes);
    // Up to max bytes to write to the line. Engines that stream make their
    // output as it is taken, so the driver takes what the line accepts.
    std::string take_output(std::size_t max);
    std::optional<EngineTime> wake_at() const;
    // Ends the session from our side: the peer is told, the call stays.
    void cancel();

    EngineState state() const { return state_; }
    bool running() const { return state_ == EngineState::running; }
    // Why the session failed, in words for the user.
    const std::string& reason() const { return reason_; }
    const EngineProgress& progress() const { return progress_; }

protected:
    // Reads bytes up to the session's end; how many it read.
    virtual std::size_t on_bytes(std::string_view bytes) = 0;
    virtual void on_timeout() = 0;
    // Room for this many more bytes of output.
    virtual void on_output_room(std::size_t) {}
    // The session ends here, for whatever reason; files are closed.
    virtual void on_end() {}

    void send(std::string_view bytes) { output_.append(bytes); }
    void wake_in(EngineTime ms) { deadline_ = now_ + ms; }
    void no_wake() { deadline_.reset(); }
    // Tells the peer the session is cancelled and ends it.
    void abort_with(EngineState state, std::string reason = {});
    void end(EngineState state, std::string reason = {});
    EngineTime now() const { return now_; }

    std::string output_;
    EngineProgress progress_;

private:
    EngineState state_ = EngineState::running;
    std::string reason_;
    EngineTime now_ = 0;
    std::optional<EngineTime> deadline_;
};

} // namespace quillon
