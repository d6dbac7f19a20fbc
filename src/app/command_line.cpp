// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <string_view>

namespace quillon {

std::optional<int> answer_command_line(int argc, char** argv, std::FILE* out) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--version") {
            std::fprintf(out, "quillon %s\n", QUILLON_VERSION);
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            std::fputs("Usage: quillon\n"
                       "\n"
                       "Chat and send files to another computer through a pair of modems. Everything\n"
                       "is done in the window; its menu's Help item shows the full help text, and\n"
                       "`man quillon` tells where the settings and the address book are kept.\n"
                       "\n"
                       "To try Quillon without a modem, run two copies against quillon-linesim, the\n"
                       "modem simulator (quillon-linesim --help).\n"
                       "\n"
                       "Options:\n"
                       "  --help      show this text\n"
                       "  --version   show the version\n",
                       out);
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace quillon
