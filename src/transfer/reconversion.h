// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace quillon {

class Program;

// Turns the hexadecimal spool of a binary-form reception back into the
// file the user chose, with Frmconvert showing the progress.
class Reconversion {
public:
    explicit Reconversion(Program& program);

    void reconvert_file(const std::string& destination);
    void go_offline();

    void Frmconvert_Load();
    void Frmconvert_Unload();

private:
    // Gives the number of digit pairs that were not hexadecimal.
    std::int64_t convert(const std::string& spool, const std::string& destination);
    void close_window();

    Program& p_;
};

} // namespace quillon
