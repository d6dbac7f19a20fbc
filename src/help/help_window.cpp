// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/help_window.h"

#include "base/dialogs.h"
#include "base/file_locations.h"
#include "base/main_form.h"
#include "base/media.h"

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
    form_.bring_to_front();
}

void HelpWindow::Form_Load() {
    HelpForm& h = form_;
    loaded_ = true;
    std::string picture = files_.program_file("images\\photo.jpg");
    // Cleared first, so the window reads the file again though its name
    // is the same: it may have been replaced since the last load.
    h.ImagePic.set_path("");
    if (media_.can_show_picture(picture)) h.ImagePic.set_path(picture);
    else dialogs_.message("Unable to find picture file!", Icon::information);

    std::optional<std::string> text = read_whole_file(files_.program_file("quillon.txt"));
    if (!text) {
        h.Txthelp.set_text("");
        dialogs_.message("Unable to load help file!", Icon::information);
        return;
    }
    h.Txthelp.set_text(std::move(*text));
}

void HelpWindow::Form_Unload() {
    form_.set_visible(false);
    loaded_ = false;
}

} // namespace quillon
