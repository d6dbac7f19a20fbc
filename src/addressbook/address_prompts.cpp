#include "addressbook/address_prompts.h"

#include "app/program.h"

// Placeholder until the prompt dialogue lands.
namespace quillon {

void AddressPrompts::mnuaddessadd_Click() {}
void AddressPrompts::mnuaddressedit_Click() {}
void AddressPrompts::mnuaddressremove_Click() {}
void AddressPrompts::mnuaddressfind_Click() {}
void AddressPrompts::mnuaddressall_Click() {}
void AddressPrompts::answer_prompt() {}
void AddressPrompts::DBGrid1_RowColChange(std::size_t) {}

} // namespace quillon
