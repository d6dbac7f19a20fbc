// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fstream>
#include <string>
#include <string_view>

namespace quillon::sim {

// Every byte the simulator moves, one line per piece, with the time in
// seconds since the simulator started and non-printing bytes as \xNN.
class Transcript {
public:
    // An empty path writes nothing.
    explicit Transcript(const std::string& path);
    bool open() const { return out_.is_open(); }
    void record(double seconds, std::string_view from, std::string_view to, std::string_view bytes);

private:
    std::ofstream out_;
};

} // namespace quillon::sim
