// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace quillon {

class Program;

// True when path names one of the files the program itself lives on: the
// spool, its settings, its address book or its executable. A received file
// must never replace one of them.
bool is_own_file(const Program& program, const std::string& path);

} // namespace quillon
