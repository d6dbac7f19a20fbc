// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/address_io.h"

#include <cctype>

namespace quillon {
namespace {

constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

// Length of the UTF-8 sequence at text[i], or 0 when it is not one
// (overlong forms, surrogates and values past U+10FFFF included).
std::size_t utf8_sequence(std::string_view text, std::size_t i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char c = byte(i);
    if (c < 0x80) return 1;
    std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (n == 0 || c > 0xF4 || i + n > text.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    unsigned char second = byte(i + 1);
    if (c == 0xE0 && second < 0xA0) return 0;
    if (c == 0xED && second >= 0xA0) return 0;
    if (c == 0xF0 && second < 0x90) return 0;
    if (c == 0xF4 && second >= 0x90) return 0;
    return n;
}

struct CsvField {
    std::string value;
    bool quoted = false;
};

struct CsvRecord {
    int line = 0;
    std::vector<CsvField> fields;
};

// Splits CSV text into records, counting lines as an editor shows them
// (line breaks inside quoted fields included).
class CsvReader {
public:
    explicit CsvReader(std::string_view text) : text_(text) {}

    bool next(CsvRecord& record) {
        while (!at_end() && is_break(peek()))
            take_break();
        if (at_end()) return false;
        record.line = line_;
        record.fields.clear();
        for (;;) {
            record.fields.push_back(peek() == '"' ? quoted_field() : plain_field());
            if (at_end()) return true;
            if (peek() != ',') {
                take_break();
                return true;
            }
            ++pos_;
            if (at_end()) {
                record.fields.emplace_back();
                return true;
            }
        }
    }

private:
    static bool is_break(char c) { return c == '\r' || c == '\n'; }
    bool at_end() const { return pos_ >= text_.size(); }
    char peek() const { return text_[pos_]; }

    void take_break() {
        if (peek() == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
        ++pos_;
        ++line_;
    }

    CsvField quoted_field() {
        CsvField field{"", true};
        int opened_at = line_;
        ++pos_;
        for (;;) {
            if (at_end()) throw AddressFileError(opened_at, "a quoted field is not closed");
            char c = text_[pos_++];
            if (c == '"') {
                if (at_end() || peek() != '"') break;
                ++pos_;
            }
            if (c == '\n' || (c == '\r' && (at_end() || peek() != '\n'))) ++line_;
            field.value += c;
        }
        if (!at_end() && peek() != ',' && !is_break(peek()))
            throw AddressFileError(line_, "text follows the closing quote of a field");
        return field;
    }

    CsvField plain_field() {
        std::size_t start = pos_;
        while (!at_end() && peek() != ',' && !is_break(peek())) {
            if (peek() == '"') throw AddressFileError(line_, "a quote inside a field that is not quoted");
            ++pos_;
        }
        std::string_view raw = text_.substr(start, pos_ - start);
        std::size_t first = raw.find_first_not_of(" \t");
        if (first == std::string_view::npos) return {};
        return {std::string(raw.substr(first, raw.find_last_not_of(" \t") - first + 1)), false};
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

// A spreadsheet runs a cell that begins with one of these as a formula.
constexpr std::string_view formula_starts = "=+-@\t\r";

// Whether a name, past any apostrophes it begins with, would be run: such a
// name is written with one more apostrophe, which the import takes off.
bool formula_guarded(std::string_view name) {
    std::size_t first = name.find_first_not_of('\'');
    return first != std::string_view::npos && formula_starts.find(name[first]) != std::string_view::npos;
}

// Control characters are kept inside quotes, where no reader takes them
// for the end of a record.
bool needs_quotes(const std::string& field) {
    for (char c : field)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    if (field.find_first_of(",\"\r\n") != std::string::npos) return true;
    return !field.empty() &&
           (field.front() == ' ' || field.front() == '\t' || field.back() == ' ' || field.back() == '\t');
}

// NUL is left out: spreadsheets and many readers end the cell, or refuse
// the file, at one, and no name anyone typed holds it (only a damaged or
// foreign book), so a visible stand-in would come back as text nobody wrote.
void append_csv_field(std::string& out, const std::string& field) {
    const bool quoted = needs_quotes(field);
    if (quoted) out += '"';
    for (char c : field) {
        if (c == '\0') continue;
        if (c == '"') out += '"';
        out += c;
    }
    if (quoted) out += '"';
}

} // namespace

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view utf8_body(std::string_view text) {
    if (text.substr(0, byte_order_mark.size()) == byte_order_mark) text.remove_prefix(byte_order_mark.size());
    int line = 1;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t n = utf8_sequence(text, i);
        if (n == 0) throw AddressFileError(line, "the text is not UTF-8");
        if (text[i] == '\n') ++line;
        i += n;
    }
    return text;
}

AddressFormat sniff_address_format(std::string_view text) {
    if (text.substr(0, byte_order_mark.size()) == byte_order_mark) text.remove_prefix(byte_order_mark.size());
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return AddressFormat::csv;
    std::string_view begin = "BEGIN:VCARD";
    return iequals(text.substr(first, begin.size()), begin) ? AddressFormat::vcard : AddressFormat::csv;
}

AddressFormat address_format_for(const std::string& file_name) {
    std::string_view name = file_name;
    for (std::string_view ending : {".vcf", ".vcard"})
        if (name.size() > ending.size() && iequals(name.substr(name.size() - ending.size()), ending))
            return AddressFormat::vcard;
    return AddressFormat::csv;
}

std::vector<AddressRow> parse_address_file(std::string_view text) {
    return sniff_address_format(text) == AddressFormat::vcard ? parse_address_vcard(text) : parse_address_csv(text);
}

std::vector<AddressRow> parse_address_csv(std::string_view text) {
    CsvReader reader(utf8_body(text));
    CsvRecord header;
    if (!reader.next(header)) throw AddressFileError(1, "the header Name,Phoneno is missing");
    std::size_t name_column = header.fields.size(), phone_column = header.fields.size();
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        if (iequals(header.fields[i].value, "Name")) name_column = i;
        if (iequals(header.fields[i].value, "Phoneno")) phone_column = i;
    }
    if (name_column == header.fields.size() || phone_column == header.fields.size())
        throw AddressFileError(header.line, "the header Name,Phoneno is missing");

    std::vector<AddressRow> rows;
    CsvRecord record;
    while (reader.next(record)) {
        if (record.fields.size() != header.fields.size())
            throw AddressFileError(record.line, "the header has " + std::to_string(header.fields.size()) +
                                                    " fields, this record " + std::to_string(record.fields.size()));
        std::string& name = record.fields[name_column].value;
        if (!name.empty() && name[0] == '\'' && formula_guarded(name)) name.erase(0, 1);
        rows.push_back({std::move(name), std::move(record.fields[phone_column].value)});
    }
    return rows;
}

std::string write_address_csv(const std::vector<AddressRow>& rows) {
    std::string out = "Name,Phoneno\r\n";
    for (const AddressRow& row : rows) {
        append_csv_field(out, formula_guarded(row.name) ? "'" + row.name : row.name);
        out += ',';
        append_csv_field(out, row.phoneno);
        out += "\r\n";
    }
    return out;
}

} // namespace quillon
