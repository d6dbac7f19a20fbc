#include "help/help_window.h"

#include "app/program.h"

// Placeholder until the help window lands.
namespace quillon {

void HelpWindow::mnuhelp_Click() {}
void HelpWindow::Form_Load() {}
void HelpWindow::Form_Unload() {}

} // namespace quillon
