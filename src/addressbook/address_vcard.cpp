// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/address_io.h"

#include <cctype>

namespace quillon {
namespace {

// One content line after unfolding, with the file line it starts on.
struct ContentLine {
    int line;
    std::string text;
};

std::vector<ContentLine> unfold(std::string_view text) {
    std::vector<ContentLine> out;
    int line = 1;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view physical = text.substr(pos, end - pos);
        if (!physical.empty() && (physical[0] == ' ' || physical[0] == '\t') && !out.empty())
            out.back().text.append(physical.substr(1));
        else if (!physical.empty())
            out.push_back({line, std::string(physical)});
        pos = end;
        if (pos < text.size()) pos += text.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
        ++line;
    }
    return out;
}

struct Property {
    std::string name; // without its group, upper case
    std::string value;
};

Property split_property(const ContentLine& content) {
    const std::string& t = content.text;
    bool quoted = false;
    std::size_t colon = std::string::npos;
    for (std::size_t i = 0; i < t.size() && colon == std::string::npos; ++i) {
        if (t[i] == '"')
            quoted = !quoted;
        else if (t[i] == ':' && !quoted)
            colon = i;
    }
    if (colon == std::string::npos) throw AddressFileError(content.line, "a line without a colon");
    std::string name = t.substr(0, std::min(colon, t.find(';')));
    if (std::size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(0, dot + 1);
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return {name, t.substr(colon + 1)};
}

// Text values escape backslash, comma, semicolon and line breaks. Both
// \n and \N stand for a line break: the program writes its typed CR LF as
// \n and a bare LF (from an imported file) as \N, so that each comes back
// as it was.
std::string unescape(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        char c = value[++i];
        if (c == 'n')
            out += "\r\n";
        else if (c == 'N')
            out += '\n';
        else
            out += c;
    }
    return out;
}

// A lone CR has no escape of its own and may not stand bare in a text
// value: it goes out as a line break and comes back as CR LF.
std::string escape(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\r') {
            if (i + 1 < value.size() && value[i + 1] == '\n') ++i;
            out += "\\n";
        } else if (c == '\n') {
            out += "\\N";
        } else {
            if (c == '\\' || c == ',' || c == ';') out += '\\';
            out += c;
        }
    }
    return out;
}

// A TEL is free text, or in 4.0 often a tel: URI whose parameters follow
// a semicolon.
std::string tel_number(const std::string& value) {
    if (value.size() >= 4 && iequals(std::string_view(value).substr(0, 4), "tel:"))
        return value.substr(4, value.find(';') == std::string::npos ? std::string::npos : value.find(';') - 4);
    return unescape(value);
}

// Lines longer than 75 octets continue on lines that begin with a space,
// never cutting a UTF-8 sequence.
void append_folded(std::string& out, const std::string& line) {
    std::size_t pos = 0, limit = 75;
    while (line.size() - pos > limit) {
        std::size_t cut = pos + limit;
        while (cut > pos && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        // Bytes that are no UTF-8 are cut anywhere, so the folding goes on.
        if (cut == pos) cut = pos + limit;
        out.append(line, pos, cut - pos).append("\r\n ");
        pos = cut;
        limit = 74;
    }
    out.append(line, pos).append("\r\n");
}

} // namespace

std::vector<AddressRow> parse_address_vcard(std::string_view text) {
    std::vector<AddressRow> rows;
    bool in_card = false;
    int card_line = 0;
    std::string name;
    std::vector<std::string> numbers;
    for (const ContentLine& content : unfold(utf8_body(text))) {
        Property p = split_property(content);
        bool vcard = iequals(p.value, "VCARD");
        if (!in_card) {
            if (p.name != "BEGIN" || !vcard) throw AddressFileError(content.line, "text outside a card");
            in_card = true;
            card_line = content.line;
            name.clear();
            numbers.clear();
        } else if (p.name == "BEGIN") {
            throw AddressFileError(content.line, "a card begins inside another");
        } else if (p.name == "END") {
            if (!vcard) throw AddressFileError(content.line, "END:" + p.value + " inside a card");
            if (numbers.empty()) numbers.emplace_back();
            for (std::string& number : numbers)
                rows.push_back({name, std::move(number)});
            in_card = false;
        } else if (p.name == "VERSION") {
            if (p.value != "3.0" && p.value != "4.0")
                throw AddressFileError(content.line, "vCard " + p.value + " is not read (3.0 and 4.0 are)");
        } else if (p.name == "FN") {
            if (name.empty()) name = unescape(p.value);
        } else if (p.name == "TEL") {
            numbers.push_back(tel_number(p.value));
        }
    }
    if (in_card) throw AddressFileError(card_line, "the card that begins here never ends");
    return rows;
}

std::string write_address_vcard(const std::vector<AddressRow>& rows) {
    std::string out;
    for (const AddressRow& row : rows) {
        out += "BEGIN:VCARD\r\nVERSION:4.0\r\n";
        append_folded(out, "FN:" + escape(row.name));
        append_folded(out, "TEL:" + escape(row.phoneno));
        out += "END:VCARD\r\n";
    }
    return out;
}

} // namespace quillon
