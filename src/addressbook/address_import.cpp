// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/address_import.h"

#include "addressbook/address_io.h"
#include "addressbook/address_prompts.h"
#include "base/dialogs.h"
#include "base/event_loop.h"
#include "base/file_locations.h"
#include "base/main_form.h"
#include "modem/dial_number.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unordered_map>

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

// A name in any letter case with its number, for finding the book's rows;
// written into key, whose buffer one row after another reuses.
void entry_key(const AddressRow& row, std::string& key) {
    key.assign(row.name);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    key.append(1, '\0').append(row.phoneno);
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

// A long import shows how far it is on the main window's bar (unless a
// transfer shows its own there) and yields, so the window paints and the
// line is served meanwhile. Import stays off until it is over.
class ImportProgress {
public:
    ImportProgress(MainForm& form, EventLoop& loop, std::size_t total)
        : form_(form), loop_(loop), bar_free_(!form.ProgressBar1.visible()) {
        form_.mnuaddressimport.set_enabled(false);
        if (!bar_free_) return;
        ProgressBar& bar = form_.ProgressBar1;
        bar.set_min(0);
        bar.set_max(static_cast<double>(total));
        bar.set_value(0);
        bar.set_visible(true);
    }
    ~ImportProgress() {
        form_.mnuaddressimport.set_enabled(true);
        if (bar_free_) form_.ProgressBar1.set_visible(false);
    }
    void operator()(std::size_t added) {
        if (bar_free_) form_.ProgressBar1.set_value(static_cast<double>(added));
        loop_.process_pending_events();
    }

private:
    MainForm& form_;
    EventLoop& loop_;
    bool bar_free_;
};

} // namespace

// The file's keys are hashed and the book's rows looked up among them, so a
// big book costs one pass and no copy of its keys.
ImportChoice choose_entries(const std::vector<AddressRow>& book, const std::vector<AddressRow>& file) {
    ImportChoice choice;
    std::vector<const AddressRow*> usable;
    for (const AddressRow& row : file) {
        if (blank(row.name))
            ++choice.no_name;
        else if (blank(row.phoneno))
            ++choice.no_number;
        else if (!dial_string(row.phoneno))
            choice.not_dialable.push_back(row.name);
        else
            usable.push_back(&row);
    }
    std::unordered_map<std::string, bool> held; // each usable key: in the book already?
    std::string key;
    for (const AddressRow* row : usable) {
        entry_key(*row, key);
        held.emplace(key, false);
    }
    for (const AddressRow& old : book) {
        entry_key(old, key);
        auto found = held.find(key);
        if (found != held.end()) found->second = true;
    }
    for (const AddressRow* row : usable) {
        entry_key(*row, key);
        if (held.at(key))
            ++choice.duplicate;
        else
            choice.to_add.push_back(*row);
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
    auto path = dialogs_.open_file(import_filter, "");
    if (!path) return;
    ImportChoice choice;
    try {
        choice = choose_entries(book_.rows(), parse_address_file(read_whole(*path)));
        ImportProgress progress(form_, loop_, choice.to_add.size());
        book_.add_entries(choice.to_add, [&progress](std::size_t added) { progress(added); });
    } catch (const FileProblem& problem) {
        dialogs_.message(problem.text, Icon::stop);
        return;
    } catch (const AddressFileError& broken) {
        dialogs_.message("Import stopped at line " + std::to_string(broken.line) + " of " + *path + ": " +
                             broken.what() + ". Nothing was added.",
                         Icon::stop);
        return;
    } catch (const StoreError& error) {
        dialogs_.message(database_error(files_.address_book(), error), Icon::stop);
        return;
    }
    form_.DBGrid1.reload();
    dialogs_.message(import_summary(choice), Icon::information);
}

void AddressImport::mnuaddressexport_Click() {
    auto path = dialogs_.save_file(export_filter, "addressbook.csv");
    if (!path) return;
    try {
        std::vector<AddressRow> rows = book_.rows();
        write_whole(*path, address_format_for(*path) == AddressFormat::vcard ? write_address_vcard(rows)
                                                                             : write_address_csv(rows));
        dialogs_.message(count_text(static_cast<int>(rows.size()), rows.size() == 1 ? "entry" : "entries") +
                             " exported to " + *path + ".",
                         Icon::information);
    } catch (const FileProblem& problem) {
        dialogs_.message(problem.text, Icon::stop);
    } catch (const StoreError& error) {
        dialogs_.message(database_error(files_.address_book(), error), Icon::stop);
    }
}

} // namespace quillon
