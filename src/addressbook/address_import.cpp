// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/address_import.h"

#include "addressbook/address_io.h"
#include "app/program.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace quillon {
namespace {

constexpr const char* import_filter = "Address books (*.csv;*.vcf)|*.csv;*.vcf;*.vcard|CSV (*.csv)|*.csv|"
                                      "vCard (*.vcf)|*.vcf;*.vcard|All files (*.*)|*";
constexpr const char* export_filter = "CSV (*.csv)|*.csv|vCard (*.vcf)|*.vcf";
// Far beyond any address book; a bigger file is not one.
constexpr std::streamoff largest_book = 16 << 20;

bool blank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

std::string count_text(int n, const char* what) {
    return std::to_string(n) + " " + what;
}

struct FileProblem {
    std::string text;
};

std::string read_whole(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) throw FileProblem{"Cannot read " + path + ": " + std::strerror(errno)};
    if (in.tellg() > largest_book) throw FileProblem{path + " is too large for an address book."};
    in.seekg(0);
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw FileProblem{"Cannot read " + path + "."};
    return text.str();
}

// Through a temporary file renamed over the old one, so a failure never
// leaves half a file where a whole one was.
void write_whole(const std::string& path, const std::string& text) {
    std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) throw FileProblem{"Cannot write " + path + ": " + std::strerror(errno)};
        out << text;
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            throw FileProblem{"Cannot write " + path + "."};
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        std::remove(temporary.c_str());
        throw FileProblem{"Cannot write " + path + ": " + std::strerror(error)};
    }
}

} // namespace

ImportChoice choose_entries(const std::vector<AddressRow>& book, const std::vector<AddressRow>& file) {
    ImportChoice choice;
    for (const AddressRow& row : file) {
        if (blank(row.name)) {
            ++choice.no_name;
            continue;
        }
        if (blank(row.phoneno)) {
            ++choice.no_number;
            continue;
        }
        bool held = false;
        for (const AddressRow& old : book)
            held = held || (iequals(old.name, row.name) && old.phoneno == row.phoneno);
        if (held)
            ++choice.duplicate;
        else
            choice.to_add.push_back(row);
    }
    return choice;
}

std::string import_summary(const ImportChoice& c) {
    int added = static_cast<int>(c.to_add.size());
    std::string text = count_text(added, added == 1 ? "entry added" : "entries added");
    int skipped = c.no_name + c.no_number + c.duplicate;
    if (skipped == 0) return text + ", none skipped.";
    std::string why;
    auto reason = [&why](int n, const char* what) {
        if (n == 0) return;
        if (!why.empty()) why += ", ";
        why += count_text(n, what);
    };
    reason(c.no_name, "without a name");
    reason(c.no_number, "without a number");
    reason(c.duplicate, "already in the book");
    return text + ", " + std::to_string(skipped) + " skipped (" + why + ").";
}

void AddressImport::mnuaddressimport_Click() {
    auto path = p_.dialogs.open_file(import_filter, "");
    if (!path) return;
    ImportChoice choice;
    try {
        choice = choose_entries(p_.dataaddress->rows(), parse_address_file(read_whole(*path)));
        p_.dataaddress->add_entries(choice.to_add);
    } catch (const FileProblem& problem) {
        p_.message(problem.text, Icon::stop);
        return;
    } catch (const AddressFileError& broken) {
        p_.message("Import stopped at line " + std::to_string(broken.line) + " of " + *path + ": " + broken.what() +
                       ". Nothing was added.",
                   Icon::stop);
        return;
    } catch (const StoreError&) {
        p_.message("Database Error !", Icon::stop);
        return;
    }
    p_.frmmain.DBGrid1.reload();
    p_.message(import_summary(choice), Icon::information);
}

void AddressImport::mnuaddressexport_Click() {
    auto path = p_.dialogs.save_file(export_filter, "addressbook.csv");
    if (!path) return;
    try {
        std::vector<AddressRow> rows = p_.dataaddress->rows();
        write_whole(*path, address_format_for(*path) == AddressFormat::vcard ? write_address_vcard(rows)
                                                                             : write_address_csv(rows));
        p_.message(count_text(static_cast<int>(rows.size()), rows.size() == 1 ? "entry" : "entries") + " exported to " +
                       *path + ".",
                   Icon::information);
    } catch (const FileProblem& problem) {
        p_.message(problem.text, Icon::stop);
    } catch (const StoreError&) {
        p_.message("Database Error !", Icon::stop);
    }
}

} // namespace quillon
