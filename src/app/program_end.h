#pragma once

namespace quillon {

// Thrown to stop the program at once: nothing after it runs, nothing more is
// written. Deliberately not a std::exception, so no catch-all for ordinary
// failures swallows it.
struct ProgramEnd {};

[[noreturn]] inline void end_program() { throw ProgramEnd{}; }

} // namespace quillon
