// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "addressbook/address_store.h"

#include <memory>

namespace quillon::testing {

// An address book that lives only in memory and starts empty whatever file
// it is opened on: for runs that must touch no disk, like the fuzzer's.
std::unique_ptr<AddressStore> make_memory_address_store();

} // namespace quillon::testing
