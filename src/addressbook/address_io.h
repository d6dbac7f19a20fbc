// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/address_store.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// A file that cannot be read as an address book; line is where reading
// stopped (1 for the first line).
class AddressFileError : public std::runtime_error {
public:
    AddressFileError(int line, const std::string& what) : std::runtime_error(what), line(line) {}
    int line;
};

enum class AddressFormat { csv, vcard };

// vCard when the text (after an optional byte-order mark and blank lines)
// begins with BEGIN:VCARD, CSV otherwise.
AddressFormat sniff_address_format(std::string_view text);
// vCard for names ending in .vcf or .vcard, CSV otherwise.
AddressFormat address_format_for(const std::string& file_name);

// Every entry of the file, in file order; throws AddressFileError. Names and
// numbers come back exactly as the file holds them, except that blanks
// around an unquoted CSV field are dropped.
std::vector<AddressRow> parse_address_file(std::string_view text);
// CSV after RFC 4180 with the header Name,Phoneno (other columns ignored),
// UTF-8 with or without a byte-order mark.
std::vector<AddressRow> parse_address_csv(std::string_view text);
// vCard 3.0 and 4.0: one entry for every TEL of each card, named by its FN.
// A card without TEL gives one entry without a number.
std::vector<AddressRow> parse_address_vcard(std::string_view text);

// UTF-8 without a byte-order mark, CR LF line ends.
std::string write_address_csv(const std::vector<AddressRow>& rows);
// vCard 4.0 with FN and one TEL a card.
std::string write_address_vcard(const std::vector<AddressRow>& rows);

// Shared by both readers: the text without its byte-order mark, checked to be
// UTF-8 (AddressFileError at the first line that is not).
std::string_view utf8_body(std::string_view text);
// Equal but for the case of ASCII letters.
bool iequals(std::string_view a, std::string_view b);

} // namespace quillon
