// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/help_window.h"

#include "app/program.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace quillon {
namespace {

// The whole file, or nothing when it cannot be opened or any read fails
// (a directory, an I/O error).
std::optional<std::string> read_whole_file(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string text;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ::close(fd);
            if (n < 0) return std::nullopt;
            return text;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace

void HelpWindow::mnuhelp_Click() {
    if (!loaded_) Form_Load();
    p_.frmhelp.bring_to_front();
}

void HelpWindow::Form_Load() {
    HelpForm& h = p_.frmhelp;
    loaded_ = true;
    std::string picture = p_.files.program_file("images\\photo.jpg");
    // Cleared first, so the window reads the file again though its name
    // is the same: it may have been replaced since the last load.
    h.ImagePic.set_path("");
    if (p_.media.can_show_picture(picture)) h.ImagePic.set_path(picture);
    else p_.message("Unable to find picture file!", Icon::information);

    std::optional<std::string> text = read_whole_file(p_.files.program_file("quillon.txt"));
    if (!text) {
        h.Txthelp.set_text("");
        p_.message("Unable to load help file!", Icon::information);
        return;
    }
    h.Txthelp.set_text(std::move(*text));
}

void HelpWindow::Form_Unload() {
    p_.frmhelp.set_visible(false);
    loaded_ = false;
}

} // namespace quillon
