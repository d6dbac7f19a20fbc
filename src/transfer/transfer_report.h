// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/dialogs.h"

#include <optional>
#include <string>

namespace quillon {

// The end-of-transfer report text; nothing when there is no speed to give
// (an elapsed time of 0). A transfer across midnight counts the day over.
std::optional<std::string> transfer_report_text(int start_time, int end_time, const std::string& file_name,
                                                int size);

// The report in a box of its own, when there is one to give.
void show_transfer_report(Dialogs& dialogs, int start_time, int end_time, const std::string& file_name, int size);

} // namespace quillon
