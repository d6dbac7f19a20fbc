// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string_view>

namespace quillon {

// The whole of a text box's bytes (UTF-8, CR LF line breaks) as a Qt text
// widget shows them: any of CR LF, CR or LF is one line break, other control
// characters are visible symbols, and an unfinished UTF-8 sequence at the
// end shows as a replacement character.
QString display_text(std::string_view bytes);

} // namespace quillon
