// SPDX-License-Identifier: GPL-3.0-or-later
// The store on a real SQLite file, as two copies of the program sharing a
// folder use it.
#include "addressbook/sqlite_address_store.h"
#include "support/temp_dir.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace quillon {
namespace {

using testing::TempDir;

// A connection of the test's own, playing the other program or an older one.
class RawBook {
public:
    explicit RawBook(const std::string& path) { EXPECT_EQ(sqlite3_open(path.c_str(), &db_), SQLITE_OK); }
    ~RawBook() { sqlite3_close(db_); }
    void exec(const std::string& sql) {
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
    }
    // Every row's columns joined with '|', rows with ';'.
    std::string query(const std::string& sql) {
        std::string out;
        sqlite3_exec(
            db_, sql.c_str(),
            [](void* text, int n, char** values, char**) {
                auto& out = *static_cast<std::string*>(text);
                for (int i = 0; i < n; ++i) out += std::string(i ? "|" : "") + (values[i] ? values[i] : "NULL");
                out += ';';
                return 0;
            },
            &out, nullptr);
        return out;
    }

private:
    sqlite3* db_ = nullptr;
};

std::vector<std::string> names(AddressStore& store) {
    std::vector<std::string> out;
    for (const AddressRow& row : store.rows()) out.push_back(row.name + "=" + row.phoneno);
    return out;
}

// Two copies of the program with one book file: each reads the file, not
// what it held when it opened, and the grid's row is the one it showed.
TEST(SqliteAddressStore, TwoCopiesOnOneFileNeverTouchTheWrongEntry) {
    TempDir dir;
    auto a = make_sqlite_address_store(), b = make_sqlite_address_store();
    a->open(dir.file("addressbook.mdb"));
    b->open(dir.file("addressbook.mdb"));
    a->add("Ann", "111");
    a->add("Carol", "222");
    EXPECT_TRUE(b->find_first("carol"));
    EXPECT_EQ(b->current_phoneno(), "222");

    ASSERT_TRUE(a->find_first("Carol"));
    b->delete_current();
    b->add("Dave", "333");
    EXPECT_THROW(a->edit_current_phoneno("999"), EntryGone) << "Carol's row is gone; Dave's is not hers";
    EXPECT_EQ(names(*a), (std::vector<std::string>{"Ann=111", "Dave=333"}));

    ASSERT_TRUE(a->find_first("Ann"));
    ASSERT_TRUE(b->find_first("Ann"));
    b->delete_current();
    EXPECT_THROW(a->delete_current(), EntryGone);
    b->add("Ann", "444");
    EXPECT_FALSE(a->find_first("Carol"));
    ASSERT_TRUE(a->find_first("ANN"));
    EXPECT_EQ(a->current_phoneno(), "444");
    a->edit_current_phoneno("555");
    EXPECT_EQ(names(*b), (std::vector<std::string>{"Dave=333", "Ann=555"}));

    ASSERT_EQ(a->list_rows(), 2u); // what the grid shows
    b->add("Aaron", "000");
    a->move_to(1);
    EXPECT_EQ(a->current_phoneno(), "555");
    EXPECT_EQ(a->current_index(), 1u);
    ASSERT_TRUE(b->find_first("Ann"));
    b->delete_current();
    EXPECT_THROW(a->move_to(1), StoreError) << "the row shown is gone";
    EXPECT_THROW(a->move_to(5), StoreError);
    std::vector<AddressRow> shown = a->listed_rows(0, 5);
    ASSERT_EQ(shown.size(), 2u) << "Aaron came after the listing";
    EXPECT_EQ(shown[0].name + shown[1].name, "Dave") << "Ann's place shows blank";
    a->move_first();
    EXPECT_EQ(a->current_phoneno(), "333");
}

TEST(SqliteAddressStore, ABusyFileIsWaitedForAndALockedOneFailsAfterTwoSeconds) {
    TempDir dir;
    auto store = make_sqlite_address_store();
    store->open(dir.file("addressbook.mdb"));
    store->add("Ann", "111");

    auto other = std::make_unique<RawBook>(dir.file("addressbook.mdb"));
    other->exec("BEGIN EXCLUSIVE");
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        other->exec("COMMIT");
    });
    store->add("Bob", "222");
    release.join();
    EXPECT_EQ(names(*store).size(), 2u) << "the change waited for the other writer";

    other->exec("BEGIN EXCLUSIVE");
    auto began = std::chrono::steady_clock::now();
    EXPECT_THROW(store->add("Carol", "333"), StoreError);
    EXPECT_THROW(store->find_first("Ann"), StoreError);
    double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    EXPECT_GE(waited, 3.5) << "each waited about two seconds";
    other->exec("ROLLBACK");
    EXPECT_TRUE(store->find_first("Ann")) << "usable again once the file is free";
}

TEST(SqliteAddressStore, ACorruptFileFailsToOpenAndIsClosed) {
    TempDir dir;
    dir.write("addressbook.mdb", std::string(4096, 'x'));
    auto store = make_sqlite_address_store();
    using Folder = std::filesystem::directory_iterator;
    const auto descriptors = std::distance(Folder("/proc/self/fd"), Folder());
    EXPECT_THROW(store->open(dir.file("addressbook.mdb")), StoreError);
    EXPECT_EQ(std::distance(Folder("/proc/self/fd"), Folder()), descriptors) << "not left half-open";
    EXPECT_THROW(store->find_first("Ann"), StoreError) << "no empty book pretends to be there";
    EXPECT_THROW(store->delete_current(), StoreError);
    EXPECT_EQ(dir.read("addressbook.mdb"), std::string(4096, 'x'));
}

TEST(SqliteAddressStore, AnOldBookGetsIdsAndKeepsEveryRowInOrder) {
    TempDir dir;
    {
        RawBook old(dir.file("addressbook.mdb"));
        // A newer or another program's book: more columns, one oddly named.
        old.exec("CREATE TABLE Address (Name TEXT, Phoneno TEXT, Email TEXT, \"Born \"\"on\"\"\" DATE)");
        old.exec("INSERT INTO Address VALUES ('Ann', '111', 'ann@x', '1970'), ('Bob', '222', NULL, NULL), "
                 "('Ann', '333', 'ann2@x', NULL), ('Cy', NULL, NULL, '1980')");
        old.exec("DELETE FROM Address WHERE Phoneno = '222'");
        old.exec("INSERT INTO Address VALUES ('Dee', '444', 'dee@x', '1990')");
    }
    auto a = make_sqlite_address_store();
    auto b = make_sqlite_address_store();
    a->open(dir.file("addressbook.mdb"));
    b->open(dir.file("addressbook.mdb")); // the second copy finds the work done
    EXPECT_EQ(names(*b), (std::vector<std::string>{"Ann=111", "Ann=333", "Cy=", "Dee=444"}));
    ASSERT_TRUE(a->find_first("Dee"));
    ASSERT_TRUE(b->find_first("Dee"));
    b->delete_current();
    b->add("Eve", "555"); // a plain rowid would be Dee's again
    EXPECT_THROW(a->edit_current_phoneno("0"), EntryGone) << "the id of a removed row is never given out again";
    EXPECT_EQ(names(*a), (std::vector<std::string>{"Ann=111", "Ann=333", "Cy=", "Eve=555"}));

    // The table keeps its name and every column for every other reader.
    RawBook reader(dir.file("addressbook.mdb"));
    EXPECT_EQ(reader.query("SELECT Name, Phoneno, Email, \"Born \"\"on\"\"\" FROM Address ORDER BY id"),
              "Ann|111|ann@x|1970;Ann|333|ann2@x|NULL;Cy|NULL|NULL|1980;Eve|555|NULL|NULL;");
}

// A book this version cannot bring to its form is read as it is, and says why.
TEST(SqliteAddressStore, ABookThatCannotBeMigratedOpensReadOnlyWithTheReason) {
    struct Case {
        const char* columns;
        bool held; // another copy is writing to it: readers go on
        const char* why;
        const char* rows_after;
    };
    for (Case c : {Case{"id TEXT, Name TEXT, Phoneno TEXT", false,
                        "its Address table has an id column of its own, which is left as it is",
                        "NULL|Ann|111;NULL|Bob|222;"},
                   Case{"Name TEXT, Phoneno TEXT, Email TEXT", true, "database is locked", "Ann|111|NULL;Bob|222|NULL;"}}) {
        SCOPED_TRACE(c.columns);
        TempDir dir;
        RawBook other(dir.file("addressbook.mdb"));
        other.exec(std::string("CREATE TABLE Address (") + c.columns + ")");
        other.exec("INSERT INTO Address (Name, Phoneno) VALUES ('Ann', '111'), ('Bob', '222')");
        if (c.held) other.exec("BEGIN IMMEDIATE");
        auto store = make_sqlite_address_store();
        store->open(dir.file("addressbook.mdb"));
        EXPECT_EQ(store->why_read_only(), std::string(c.why));
        EXPECT_EQ(names(*store), (std::vector<std::string>{"Ann=111", "Bob=222"}));
        ASSERT_EQ(store->list_rows(), 2u);
        store->move_to(1);
        EXPECT_EQ(store->current_name(), "Bob");
        EXPECT_THROW(store->add("Cy", "333"), StoreError);
        ASSERT_TRUE(store->find_first("ann"));
        EXPECT_THROW(store->delete_current(), StoreError);
        if (c.held) other.exec("COMMIT");
        EXPECT_EQ(other.query("SELECT * FROM Address"), c.rows_after) << "the file as it was";
    }
}

} // namespace
} // namespace quillon
