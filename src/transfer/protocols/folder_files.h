// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/protocols/transfer_engine.h"

namespace quillon {

// A file on disk to send, named by its last path component; nullopt when
// it cannot be opened.
std::optional<OutgoingFile> file_to_send(const std::string& path);

// The name a received file is given: the last component of what the
// sender said, without control characters, never hidden, "." or "..".
std::string safe_file_name(std::string_view offered);

// Received files go into a folder, each written to a temporary file and
// moved into place only when whole, never over an existing file (the
// second "a.txt" becomes "a (1).txt"). With keep_partials an unfinished
// file stays as "<name>.part" and a later transfer of the same name goes
// on from its end.
class FolderSink : public FileSink {
public:
    explicit FolderSink(std::string folder, bool keep_partials = false)
        : folder_(std::move(folder)), keep_partials_(keep_partials) {}

    std::unique_ptr<IncomingFile> open(const IncomingHeader& header) override;
    // Where the finished files were put, in order.
    const std::vector<std::string>& received() const { return received_; }

private:
    friend class FolderFile;
    std::string folder_;
    bool keep_partials_;
    std::vector<std::string> received_;
};

} // namespace quillon
