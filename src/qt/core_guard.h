// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/program_end.h"

#include <exception>
#include <utility>

namespace quillon {

// Ends the process at once with the given status, as the core's
// end_program() asks: output is flushed, no destructor and no window unload
// runs.
[[noreturn]] void end_process_now(int status);
// Tells stderr about a failure that no route of the core caught.
void report_stray_failure(const char *what);

// Every entry from Qt into the core goes through here, so that nothing the
// core throws ever unwinds through Qt's frames.
template <typename F> void call_core(F &&action) noexcept {
    try {
        std::forward<F>(action)();
    } catch (const ProgramEnd &end) {
        end_process_now(end.status);
    } catch (const std::exception &e) {
        report_stray_failure(e.what());
    } catch (...) {
        report_stray_failure("unknown exception");
    }
}

} // namespace quillon
