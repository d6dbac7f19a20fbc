// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/sqlite_address_store.h"
#include "support/program_fixture.h"

#include <gtest/gtest.h>


namespace quillon {
namespace {

using testing::ProgramFixture;

struct Book : ProgramFixture {
    Book() { EXPECT_TRUE(start_on_port1()); }
    // Types behind whatever the input line holds, then presses Enter.
    void type_and_enter(const std::string& typed) {
        std::string text = w().txtsend.text() + typed;
        w().txtsend.user_edit(text, text.size());
        w().on_txtsend_key_press(13);
    }
    void add(const std::string& name, const std::string& phone) {
        w().mnuaddessadd.choose();
        w().txtsend.user_edit("", 0);
        type_and_enter(name);
        type_and_enter(phone);
    }
    // Each entry as "name=number".
    std::vector<std::string> book() {
        std::vector<std::string> out;
        for (const AddressRow& row : p().dataaddress->rows()) out.push_back(row.name + "=" + row.phoneno);
        return out;
    }
    const std::string& caption() { return w().lblchat.caption(); }
    const std::string& shown() { return w().txtreceived.text(); }
};

TEST(AddressPrompts, EditRemoveAndNotFoundAlsoWhenAnotherCopyRemovedTheEntry) {
    Book f;
    f.add("Ann", "111");
    f.add("O'Brien", "222"); // a quote is a character like any other

    f.w().mnuaddressedit.choose();
    f.type_and_enter("Nobody");
    EXPECT_EQ(f.shown(), "Sorry! No such entry.");
    EXPECT_EQ(f.caption(), "Your chat message goes here");

    f.w().mnuaddressedit.choose();
    f.type_and_enter("O'Brien");
    EXPECT_EQ(f.shown(), "222");
    EXPECT_EQ(f.caption(), "Enter new phone no.:");
    f.type_and_enter("333");
    EXPECT_EQ(f.shown(), "Entry edited.");
    EXPECT_EQ(f.book(), (std::vector<std::string>{"Ann=111", "O'Brien=333"}));

    unsigned long generation = f.w().DBGrid1.generation();
    f.w().mnuaddressremove.choose();
    f.type_and_enter("ann");
    EXPECT_EQ(f.shown(), "Entry deleted.");
    EXPECT_EQ(f.book(), std::vector<std::string>{"O'Brien=333"});
    EXPECT_GT(f.w().DBGrid1.generation(), generation) << "the grid is read again";

    f.w().mnuaddressremove.choose();
    f.type_and_enter("Ann");
    EXPECT_EQ(f.shown(), "Sorry! No such entry.");

    auto other = make_sqlite_address_store();
    other->open(f.dir.file("addressbook.mdb"));
    f.w().mnuaddressedit.choose();
    f.type_and_enter("O'Brien");
    ASSERT_EQ(f.caption(), "Enter new phone no.:");
    ASSERT_TRUE(other->find_first("O'Brien"));
    other->delete_current();
    other->add("Dave", "444");
    f.type_and_enter("999");
    EXPECT_EQ(f.shown(), "Sorry! No such entry.");
    EXPECT_EQ(f.caption(), "Your chat message goes here");
    EXPECT_EQ(f.book(), std::vector<std::string>{"Dave=444"}) << "Dave keeps his number";
    f.w().mnuaddressfind.choose();
    f.type_and_enter("Dave");
    EXPECT_EQ(f.p().state.dial_number, "444") << "find reads the file";
    EXPECT_TRUE(f.dialogs.messages().empty());
}

// Enter without a prompt, or on the grid, changes nothing; find makes the
// number ready to dial every time.
TEST(AddressPrompts, EnterWithoutAPromptChangesNothingAndFindMakesTheNumberReady) {
    Book f;
    f.w().mnuaddressfind.choose();
    f.type_and_enter("Ann");
    EXPECT_EQ(f.dialogs.messages(),
              std::vector<std::string>{"Database Error !\n" + f.p().files.address_book() + ": No current record."})
        << "find on an empty book";

    f.add("Ann", "111");
    f.w().txtreceived.set_text("status");
    f.type_and_enter("Ann");
    EXPECT_EQ(f.shown(), "status");
    EXPECT_EQ(f.book(), std::vector<std::string>{"Ann=111"});

    f.w().mnuaddressall.choose();
    EXPECT_EQ(f.caption(), "All entries shown :");
    EXPECT_TRUE(f.w().DBGrid1.visible());
    EXPECT_EQ(f.w().cmdre.tooltip(), "Revert to chat mode");
    EXPECT_TRUE(f.w().cmdre.picture().ends_with("images/revert.jpg"));
    EXPECT_FALSE(f.w().mnuaddress.enabled());
    f.type_and_enter("Ann");
    EXPECT_EQ(f.shown(), "status");
    EXPECT_EQ(f.caption(), "All entries shown :");

    ASSERT_EQ(f.p().dataaddress->list_rows(), 1u); // as the grid does when shown
    f.w().DBGrid1.select_row(0);
    EXPECT_EQ(f.p().state.dial_number, "111");
    EXPECT_TRUE(f.w().cmddial.enabled());
    f.w().DBGrid1.select_row(7);
    EXPECT_EQ(f.p().state.dial_number, "111") << "no such row: nothing changes";

    f.w().cmdre.click();
    EXPECT_FALSE(f.w().DBGrid1.visible());
    EXPECT_EQ(f.caption(), "Your chat message goes here");
    EXPECT_EQ(f.w().cmdre.tooltip(), "Dial the last number");
    EXPECT_TRUE(f.p().state.dial_number.empty());
    EXPECT_TRUE(f.w().mnuaddress.enabled());

    f.add("Bob", "5551003");
    f.w().txtsend.set_text("");
    for (const char* name : {"Bob", "Ann", "Bob"}) {
        SCOPED_TRACE(name);
        f.w().mnuaddressfind.choose();
        f.w().txtsend.user_edit("\r\n", 2); // the last number deleted, its line break left
        f.type_and_enter(name);
        EXPECT_EQ(f.caption(), "Your chat message goes here");
        EXPECT_EQ(f.p().state.dial_number, name == std::string("Ann") ? "111" : "5551003");
        EXPECT_TRUE(f.w().cmddial.enabled());
    }
    EXPECT_EQ(f.w().txtsend.text(), "\r\n5551003");
    f.w().cmddial.click();
    EXPECT_NE(f.port(1).written.find("ATDT5551003\r"), std::string::npos);
}

// A book whose file went bad after it was opened: every read and write fails.
TEST(AddressPrompts, StoreFailuresReportDatabaseError) {
    Book f;
    f.dir.write("addressbook.mdb", std::string(4096, 'x'));
    f.add("Ann", "111");
    EXPECT_EQ(f.dialogs.messages(), std::vector<std::string>{"Database Error !\n" + f.p().files.address_book() +
                                                             ": file is not a database"})
        << "what was typed is not lost without a word";
    EXPECT_EQ(f.caption(), "Your chat message goes here") << "what was done before the failure stays";
    f.w().mnuaddressremove.choose();
    f.type_and_enter("Ann");
    EXPECT_EQ(f.dialogs.messages().size(), 2u);
    f.w().DBGrid1.select_row(0);
    EXPECT_FALSE(f.ended);
}

} // namespace
} // namespace quillon
