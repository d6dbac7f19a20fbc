// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/address_import.h"

#include "addressbook/address_io.h"
#include "app/program.h"
#include "modem/dial_number.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unordered_set>

#include <sys/stat.h>
#include <unistd.h>

namespace quillon {
namespace {

constexpr const char* import_filter = "Address books (*.csv;*.vcf)|*.csv;*.vcf;*.vcard|CSV (*.csv)|*.csv|"
                                      "vCard (*.vcf)|*.vcf;*.vcard|All files (*.*)|*";
constexpr const char* export_filter = "CSV (*.csv)|*.csv|vCard (*.vcf)|*.vcf";
// Far beyond any address book; a bigger file is not one.
constexpr off_t largest_book = 16 << 20;

bool blank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

std::string count_text(int n, const char* what) {
    return std::to_string(n) + " " + what;
}

struct FileProblem {
    std::string text;
};

// Asked of the file itself before any reading: a device or a fifo never
// ends, and a file over the cap is not an address book.
std::string read_whole(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) throw FileProblem{"Cannot read " + path + ": " + std::strerror(errno)};
    if (!S_ISREG(st.st_mode)) throw FileProblem{path + " is not a file."};
    if (st.st_size > largest_book) throw FileProblem{path + " is too large for an address book."};
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileProblem{"Cannot read " + path + ": " + std::strerror(errno)};
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad() || text.str().size() > static_cast<std::size_t>(largest_book))
        throw FileProblem{"Cannot read " + path + "."};
    return text.str();
}

// A name in any letter case with its number, for finding the book's rows.
std::string entry_key(const AddressRow& row) {
    std::string key = row.name;
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key.append(1, '\0').append(row.phoneno);
}

std::string write_error(const std::string& path, int error) {
    return "Cannot write " + path + ": " + std::strerror(error);
}

// Through a new temporary file in the same folder, renamed over the old
// one: a failure never leaves half a file where a whole one was, and
// O_EXCL never follows a link planted where the file is made.
void write_whole(const std::string& path, const std::string& text) {
    std::string temporary = path + ".XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) throw FileProblem{write_error(path, errno)};
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    std::size_t done = 0;
    int error = 0;
    while (done < text.size() && error == 0) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n > 0) done += static_cast<std::size_t>(n);
        else if (errno != EINTR) error = errno;
    }
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        std::remove(temporary.c_str());
        throw FileProblem{write_error(path, error)};
    }
}

} // namespace

ImportChoice choose_entries(const std::vector<AddressRow>& book, const std::vector<AddressRow>& file) {
    ImportChoice choice;
    std::unordered_set<std::string> held;
    held.reserve(book.size());
    for (const AddressRow& old : book) held.insert(entry_key(old));
    for (const AddressRow& row : file) {
        if (blank(row.name)) {
            ++choice.no_name;
            continue;
        }
        if (blank(row.phoneno)) {
            ++choice.no_number;
            continue;
        }
        if (!dial_string(row.phoneno)) {
            choice.not_dialable.push_back(row.name);
            continue;
        }
        if (held.count(entry_key(row)) != 0)
            ++choice.duplicate;
        else
            choice.to_add.push_back(row);
    }
    return choice;
}

std::string import_summary(const ImportChoice& c) {
    int added = static_cast<int>(c.to_add.size());
    std::string text = count_text(added, added == 1 ? "entry added" : "entries added");
    int refused = static_cast<int>(c.not_dialable.size());
    int skipped = c.no_name + c.no_number + c.duplicate + refused;
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
    reason(refused, "with a number that cannot be dialled");
    text += ", " + std::to_string(skipped) + " skipped (" + why + ").";
    // A few names say which; the count says how many.
    constexpr std::size_t named = 5;
    for (std::size_t i = 0; i < c.not_dialable.size() && i < named; ++i)
        text += (i == 0 ? "\nNot dialable: " : ", ") + c.not_dialable[i];
    if (c.not_dialable.size() > named) text += " and " + std::to_string(c.not_dialable.size() - named) + " more";
    if (refused > 0) text += ".";
    return text;
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
