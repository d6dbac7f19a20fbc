// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/address_import.h"
#include "addressbook/sqlite_address_store.h"
#include "support/program_fixture.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <sqlite3.h>

namespace quillon {
namespace {

using testing::ProgramFixture;
using testing::ScriptedDialogs;

struct Book : ProgramFixture {
    Book() { EXPECT_TRUE(start_on_port1()); }
    // Each entry as "name=number".
    std::vector<std::string> book() {
        std::vector<std::string> out;
        for (const AddressRow& row : p().dataaddress->rows()) out.push_back(row.name + "=" + row.phoneno);
        return out;
    }
    void import(const std::string& name, const std::string& content) {
        dir.write(name, content);
        dialogs.open_answers.push_back(dir.file(name));
        w().mnuaddressimport.choose();
    }
    std::string exported(const std::string& name) {
        dialogs.save_answers.push_back(dir.file(name));
        w().mnuaddressexport.choose();
        return dir.read(name);
    }
    std::string last_message() { return dialogs.messages().empty() ? "" : dialogs.messages().back(); }
};

TEST(AddressImport, AddsTheNewEntriesAndCountsWhatItSkips) {
    Book f;
    f.p().dataaddress->add("Ann", "5551001");
    f.w().DBGrid1.set_visible(true);
    unsigned long before = f.w().DBGrid1.generation();
    f.import("in.csv",
             "Name,Phoneno\r\nANN,5551001\r\nAnn,5551009\r\n,5551003\r\nBob,\r\nCy,5551004\r\nCy,5551004\r\n");
    EXPECT_EQ(f.last_message(),
              "3 entries added, 3 skipped (1 without a name, 1 without a number, 1 already in the book).");
    EXPECT_EQ(f.dialogs.shown.back().icon, Icon::information);
    EXPECT_EQ(f.book(), (std::vector<std::string>{"Ann=5551001", "Ann=5551009", "Cy=5551004", "Cy=5551004"}));
    EXPECT_GT(f.w().DBGrid1.generation(), before) << "the grid shows the new rows";

    f.import("again.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Cy\r\nTEL:5551004\r\nEND:VCARD\r\n");
    EXPECT_EQ(f.last_message(), "0 entries added, 1 skipped (1 already in the book).");
    f.import("one.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Di\r\nTEL:1\r\nEND:VCARD\r\n");
    EXPECT_EQ(f.last_message(), "1 entry added, none skipped.");
}

TEST(AddressImport, ABrokenFileChangesNothingAndSaysWhereALongOneShowsProgress) {
    Book f;
    f.p().dataaddress->add("Ann", "5551001");
    f.import("broken.csv", "Name,Phoneno\r\nBob,1\r\nCy,2\r\n\"Dee,3\r\n");
    EXPECT_EQ(f.last_message(), "Import stopped at line 4 of " + f.dir.file("broken.csv") +
                                    ": a quoted field is not closed. Nothing was added.");
    EXPECT_EQ(f.dialogs.shown.back().icon, Icon::stop);
    f.import("broken.vcf", "BEGIN:VCARD\r\nFN:Bob\r\nTEL:1\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:Cy\r\n");
    EXPECT_NE(f.last_message().find("line 5"), std::string::npos) << f.last_message();
    EXPECT_EQ(f.book(), std::vector<std::string>{"Ann=5551001"});

    f.dialogs.open_answers.push_back(f.dir.file("missing.csv"));
    f.w().mnuaddressimport.choose();
    EXPECT_NE(f.last_message().find("Cannot read"), std::string::npos);
    f.dialogs.open_answers.push_back("/dev/zero"); // refused before a byte is read
    f.w().mnuaddressimport.choose();
    EXPECT_EQ(f.last_message(), "/dev/zero is not a file.");
    std::size_t shown = f.dialogs.shown.size();
    f.w().mnuaddressimport.choose(); // cancelled
    EXPECT_EQ(f.dialogs.shown.size(), shown + 1) << "only the file dialog";
    EXPECT_EQ(f.book(), std::vector<std::string>{"Ann=5551001"});

    // A long import shows how far it is and yields to the loop while it runs.
    std::string csv = "Name,Phoneno\r\n";
    for (int i = 0; i < 2500; ++i) csv += "P" + std::to_string(i) + "," + std::to_string(i) + "\r\n";
    std::vector<std::string> seen;
    f.loop->post([&] {
        const ProgressBar& bar = f.w().ProgressBar1;
        seen.push_back((bar.visible() ? "bar " : "no bar ") + std::to_string(int(bar.value())) + "/" +
                       std::to_string(int(bar.max())) + (f.w().mnuaddressimport.enabled() ? " import on" : ""));
    });
    f.import("big.csv", csv);
    EXPECT_EQ(seen, std::vector<std::string>{"bar 1000/2500"}) << "Import stays off while it runs";
    EXPECT_FALSE(f.w().ProgressBar1.visible());
    EXPECT_TRUE(f.w().mnuaddressimport.enabled());
    EXPECT_EQ(f.last_message(), "2500 entries added, none skipped.");
}

TEST(AddressImport, AStoreThatFailsHalfWayKeepsNoneOfTheImport) {
    Book f;
    f.p().dataaddress->add("Ann", "5551001");
    // Another writer makes the table refuse the second new row.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(f.dir.file("addressbook.mdb").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER refuse BEFORE INSERT ON Address WHEN NEW.Name = 'Cy' "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    f.import("in.csv", "Name,Phoneno\r\nBob,1\r\nCy,2\r\n");
    EXPECT_EQ(f.last_message(), "Database Error !\n" + f.p().files.address_book() + ": refused");
    auto reopened = make_sqlite_address_store();
    reopened->open(f.dir.file("addressbook.mdb"));
    ASSERT_EQ(reopened->rows().size(), 1u) << "Bob went back out with Cy";
    EXPECT_EQ(f.book(), std::vector<std::string>{"Ann=5551001"});

    f.import("fine.csv", "Name,Phoneno\r\nBob,1\r\nDee,2\r\n");
    EXPECT_EQ(f.book(), (std::vector<std::string>{"Ann=5551001", "Bob=1", "Dee=2"}));
    EXPECT_EQ(f.p().dataaddress->current_phoneno(), "1") << "the first new row is current";
}

// Names from a damaged or foreign book: formulas a spreadsheet would run,
// controls, NUL, line breaks, long names folded inside a UTF-8 letter. A
// number that is not for dialling stays out, by name.
TEST(AddressImport, ExportThenImportGivesBackTheSameBookWhateverTheNames) {
    std::string long_name(120, 'x');
    for (std::size_t i = 70; i < 120; i += 3) long_name.replace(i, 2, "\xC3\xA9");
    const std::vector<AddressRow> hostile = {
        {"Ann", "5551001"},
        {"Smith, Bob", "555 1002"},
        {"Zoë \"Z\"", "+44 (0) 1"},
        {"Ann", "5551001"},
        {"=HYPERLINK(\"http://x\")", "1"},
        {"+1+cmd|' /C calc'!A0", "2"},
        {"-2", "3"},
        {"@SUM(A1)", "4"},
        {"\t=1", "5"},
        {"'=quoted", "6"},
        {"''", "7"},
        {std::string("nul\0bell\a esc\x1B]0;x\x07", 20), "8"},
        {" padded; a\\b ", "9"},
        {"Two\r\nlines", "10"},
        {"Two\nbare lines\r\nmixed", "11"},
        {long_name, "12"},
        {"Eve", "5551002\r\nATS0=1;"},
    };
    for (const char* name : {"book.csv", "book.vcf"}) {
        SCOPED_TRACE(name);
        Book f;
        for (const AddressRow& row : hostile) f.p().dataaddress->add(row.name, row.phoneno);
        std::string file = f.exported(name);
        EXPECT_EQ(f.last_message(), "17 entries exported to " + f.dir.file(name) + ".");
        const bool csv = std::string(name) == "book.csv";
        EXPECT_TRUE(file.starts_with(csv ? "Name,Phoneno\r\n" : "BEGIN:VCARD\r\nVERSION:4.0\r\n"));
        for (std::size_t start = 0, end; !csv && (end = file.find("\r\n", start)) != std::string::npos; start = end + 2)
            EXPECT_LE(end - start, 75u) << "folded at 75 octets";
        if (csv) {
            for (const char* line : {"\r\n\"'=HYPERLINK(\"\"http://x\"\")\",1\r\n", "\r\n'+1+cmd|' /C calc'!A0,2\r\n",
                                     "\r\n'-2,3\r\n", "\r\n'@SUM(A1),4\r\n", "\r\n\"'\t=1\",5\r\n",
                                     "\r\n''=quoted,6\r\n", "\r\n'',7\r\n"})
                EXPECT_NE(file.find(line), std::string::npos) << line;
            EXPECT_EQ(file.find('\0'), std::string::npos);
        }

        Book g;
        g.import(name, file);
        EXPECT_EQ(g.last_message(),
                  "16 entries added, 1 skipped (1 with a number that cannot be dialled).\nNot dialable: Eve.");
        std::vector<std::string> expected;
        for (std::size_t i = 0; i + 1 < hostile.size(); ++i)
            expected.push_back(hostile[i].name + "=" + hostile[i].phoneno);
        if (csv) std::erase(expected[11], '\0'); // the NUL is left out
        EXPECT_EQ(g.book(), expected);
    }
}

// Bytes that are no UTF-8 (a damaged book) are written out, never hang the
// export; a link planted where the old export made its temporary file is
// left alone; a folder that is not there is told.
TEST(AddressImport, ExportEndsForAnyBytesAndNeverFollowsAPlantedLink) {
    Book f;
    f.p().dataaddress->add(std::string(80, '\x80'), "1");
    f.dir.write("victim", "untouched");
    for (const char* name : {"book.csv", "book.vcf"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(symlink(f.dir.file("victim").c_str(), (f.dir.file(name) + ".part").c_str()), 0);
        std::string file = f.exported(name);
        EXPECT_EQ(f.last_message(), "1 entry exported to " + f.dir.file(name) + ".");
        EXPECT_NE(file.find(std::string(70, '\x80')), std::string::npos);
        Book g;
        g.import(name, file);
        EXPECT_NE(g.last_message().find("the text is not UTF-8"), std::string::npos);
    }
    EXPECT_EQ(f.dir.read("victim"), "untouched");
    f.dialogs.save_answers.push_back(f.dir.file("no/such/folder/book.csv"));
    f.w().mnuaddressexport.choose();
    EXPECT_NE(f.last_message().find("Cannot write"), std::string::npos);
    EXPECT_EQ(f.dialogs.shown.back().icon, Icon::stop);
    EXPECT_EQ(f.dialogs.shown.back().kind, ScriptedDialogs::Kind::message);
}

} // namespace
} // namespace quillon
