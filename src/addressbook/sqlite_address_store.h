// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/address_store.h"

#include <memory>

namespace quillon {

// The address book in an SQLite file: table "Address" with text fields
// "Name" and "Phoneno", names always bound as parameters.
std::unique_ptr<AddressStore> make_sqlite_address_store();

} // namespace quillon
