// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/program_fixture.h"

#include "session/call_history.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using testing::ProgramFixture;

// A stored number reaches the dial command from the book (Find, the grid)
// and the call history; only dialling characters may follow ATD.
TEST(Dialler, StoredNumbersCarryOnlyDiallingCharactersWhateverTheirPath) {
    const std::string refused = "Not dialled: Eve's number holds characters that are not for dialling.";
    const std::string refused_unnamed = "Not dialled: the number holds characters that are not for dialling.";
    struct Case {
        std::string number;
        std::string line; // empty: refused, nothing written
    };
    const std::vector<Case> cases = {
        {"555-1002", "ATDT555-1002\r"},
        {"+1 (555) 100.2/3", "ATDT1 (555) 10023\r"},
        {"*70,W5551002!@#pP", "ATDT*70,W5551002!@#pP\r"},
        {"5551002\r\nATS0=1&W;+++ATH", ""},
        {"5551002;", ""},
        {"5551002\n1", ""},
        {std::string("555\0" "1002", 8), ""},
        {"555 CALL NOW", ""},
        {"5551002\tx", ""},
        {"555\xC2\x85" "1002", ""},
    };
    for (const Case& c : cases) {
        for (const char* path : {"find", "grid", "history"}) {
            SCOPED_TRACE(std::string(path) + ": " + c.number);
            ProgramFixture f;
            ASSERT_TRUE(f.start_on_port1());
            f.port(1).written.clear();
            AddressStore& book = *f.p().dataaddress;
            book.add("Ann", "5551001");
            if (std::string(path) == "history") {
                f.p().call_history.call_over(
                    Call{.number = c.number, .date = "2026-12-07", .time = "10:00:00", .result = CallResult::busy});
                f.w().mnucallhistory.choose();
                f.p().frmhistory.grdcalls.select_row(0);
                f.p().frmhistory.cmdhistorydial.click();
            } else {
                book.add("Eve", c.number);
                if (std::string(path) == "grid") {
                    book.list_rows();
                    f.w().DBGrid1.select_row(1);
                } else {
                    f.w().mnuaddressfind.choose();
                    f.w().txtsend.user_edit("Eve", 3);
                    f.w().on_txtsend_key_press(13);
                }
            }
            ASSERT_TRUE(f.w().cmddial.enabled());
            f.w().cmddial.click();
            EXPECT_EQ(f.port(1).written, c.line);
            if (c.line.empty()) {
                EXPECT_EQ(f.w().txtreceived.text(), std::string(path) == "history" ? refused_unnamed : refused);
                EXPECT_FALSE(f.w().cmddial.enabled());
                EXPECT_TRUE(f.p().state.dial_number.empty());
                f.w().Cmddialn[4].click();
                f.w().cmddial.click();
                EXPECT_EQ(f.port(1).written, "ATDT4\r") << "the keypad dials as before";
            }
        }
    }
}

} // namespace
} // namespace quillon
