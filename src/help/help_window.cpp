#include "help/help_window.h"

#include "app/program.h"

#include <fstream>
#include <iterator>

namespace quillon {

void HelpWindow::mnuhelp_Click() {
    if (!loaded_) Form_Load();
    p_.frmhelp.set_visible(true);
}

void HelpWindow::Form_Load() {
    HelpForm& h = p_.frmhelp;
    loaded_ = true;
    std::string picture = p_.files.program_file("images\\photo.jpg");
    if (p_.media.can_show_picture(picture)) {
        h.ImagePic.set_path(picture);
    } else {
        h.ImagePic.set_path("");
        p_.message("Unable to find picture file!", Icon::information);
    }
    std::ifstream in(p_.files.program_file("quillon.txt"), std::ios::binary);
    std::string text;
    if (in) text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        h.Txthelp.set_text("");
        p_.message("Unable to load help file!", Icon::information);
        return;
    }
    h.Txthelp.set_text(std::move(text));
}

void HelpWindow::Form_Unload() {
    p_.frmhelp.set_visible(false);
    loaded_ = false;
}

} // namespace quillon
