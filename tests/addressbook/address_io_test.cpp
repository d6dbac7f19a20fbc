// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/address_io.h"

#include <gtest/gtest.h>

namespace quillon {

bool operator==(const AddressRow& a, const AddressRow& b) {
    return a.name == b.name && a.phoneno == b.phoneno;
}
void PrintTo(const AddressRow& row, std::ostream* os) {
    *os << "{" << row.name << ", " << row.phoneno << "}";
}

namespace {

using Rows = std::vector<AddressRow>;

// A file read as rows, or broken at a line (counted from 1).
struct Case {
    const char* what;
    std::string text;
    Rows rows;
    int broken_at = 0;
};

// Read by its own parser, and as readable by the one that tells the format
// from the text.
void expect(const Case& c, Rows (*parse)(std::string_view)) {
    SCOPED_TRACE(c.what);
    try {
        EXPECT_EQ(parse(c.text), c.rows);
        EXPECT_EQ(c.broken_at, 0) << "read without complaint";
        EXPECT_EQ(parse_address_file(c.text), c.rows);
    } catch (const AddressFileError& e) {
        EXPECT_EQ(e.line, c.broken_at) << e.what();
    }
}

// Every odd case of either format read, or its line told when broken.
TEST(AddressFiles, ReadEveryOddCaseOrSayWhereItBroke) {
    const Case csv[] = {
        {"plain, CR LF", "Name,Phoneno\r\nAnn,5551001\r\nBob,5551002\r\n", {{"Ann", "5551001"}, {"Bob", "5551002"}}},
        {"LF and no last line break", "Name,Phoneno\nAnn,5551001", {{"Ann", "5551001"}}},
        {"byte-order mark", "\xEF\xBB\xBFName,Phoneno\r\nAnn,1\r\n", {{"Ann", "1"}}},
        {"header in any case and order, other columns ignored", "phoneno,Note,NAME\r\n1,x,Ann\r\n", {{"Ann", "1"}}},
        {"quoted comma", "Name,Phoneno\r\n\"Smith, Ann\",1\r\n", {{"Smith, Ann", "1"}}},
        {"doubled quotes", "Name,Phoneno\r\n\"Ann \"\"the\"\" First\",1\r\n", {{"Ann \"the\" First", "1"}}},
        {"line breaks inside quotes kept", "Name,Phoneno\r\n\"Ann\r\nB\nC\",1\r\n", {{"Ann\r\nB\nC", "1"}}},
        {"blanks around unquoted fields dropped, kept inside quotes",
         "Name,Phoneno\r\n Ann , 1\r\n\" Bob \",2\r\n",
         {{"Ann", "1"}, {" Bob ", "2"}}},
        {"empty fields", "Name,Phoneno\r\nAnn,\r\n,1\r\n\"\",\"\"\r\n", {{"Ann", ""}, {"", "1"}, {"", ""}}},
        {"blank lines skipped", "Name,Phoneno\r\n\r\nAnn,1\r\n\r\n\r\n", {{"Ann", "1"}}},
        {"UTF-8 names", "Name,Phoneno\r\nZoë Ødegård,1\r\n", {{"Zoë Ødegård", "1"}}},
        {"header only", "Name,Phoneno\r\n", {}},
        {"empty file", "", {}, 1},
        {"no header", "Ann,1\r\nBob,2\r\n", {}, 1},
        {"header without Phoneno", "Name,Phone\r\nAnn,1\r\n", {}, 1},
        {"quote never closed, reported where it opens", "Name,Phoneno\r\nAnn,1\r\n\"Bob,2\r\nCy,3\r\n", {}, 3},
        {"text after the closing quote", "Name,Phoneno\r\nAnn,1\r\n\"Bob\"x,2\r\n", {}, 3},
        {"quote inside an unquoted field", "Name,Phoneno\r\nAnn,1\r\nBo\"b,2\r\n", {}, 3},
        {"too many fields", "Name,Phoneno\r\nAnn,1\r\nSmith, Bob,2\r\n", {}, 3},
        {"too few fields", "Name,Phoneno\r\nAnn\r\n", {}, 2},
        {"lines counted inside quotes", "Name,Phoneno\r\n\"A\r\nB\",1\r\nC,2,3\r\n", {}, 4},
        {"not UTF-8", "Name,Phoneno\r\nAnn,1\r\nZo\xEB,2\r\n", {}, 3},
        {"overlong UTF-8", "Name,Phoneno\r\n\xC0\xAF,1\r\n", {}, 2},
        {"UTF-16 surrogate in UTF-8", "Name,Phoneno\r\n\xED\xA0\x80,1\r\n", {}, 2},
    };
    for (const Case& c : csv) expect(c, parse_address_csv);

    const Case vcard[] = {
        {"3.0",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ann;;;;\r\nFN:Ann\r\nTEL;TYPE=HOME:5551001\r\nEND:VCARD\r\n",
         {{"Ann", "5551001"}}},
        {"4.0 with a tel: URI and parameters",
         "BEGIN:VCARD\nVERSION:4.0\nFN:Bob\nTEL;VALUE=uri;TYPE=\"voice,cell\":tel:+1-555-0102;ext=7\nEND:VCARD\n",
         {{"Bob", "+1-555-0102"}}},
        {"every TEL, groups and lower-case names",
         "begin:vcard\r\nversion:4.0\r\nfn:Cy\r\nitem1.TEL:1\r\ntel:2\r\nEND:VCARD\r\n",
         {{"Cy", "1"}, {"Cy", "2"}}},
        {"no TEL, no FN",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Dee\r\nEND:VCARD\r\nBEGIN:VCARD\r\nTEL:9\r\nEND:VCARD\r\n",
         {{"Dee", ""}, {"", "9"}}},
        {"folded lines, a fold inside a UTF-8 word",
         "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Zo\r\n \xC3\xAB Long\r\n\tname\r\nTEL:1\r\nEND:VCARD\r\n",
         {{"Zoë Longname", "1"}}},
        {"escapes",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Smith\\, Ann\\; Jr\\\\\\nNext\r\nTEL:1\r\nEND:VCARD\r\n",
         {{"Smith, Ann; Jr\\\r\nNext", "1"}}},
        {"a colon in a quoted parameter",
         "BEGIN:VCARD\r\nFN;X-NOTE=\"a:b\":Eve\r\nTEL:1\r\nEND:VCARD\r\n",
         {{"Eve", "1"}}},
        {"other properties and a byte-order mark",
         "\xEF\xBB\xBF\r\nBEGIN:VCARD\r\nVERSION:4.0\r\nFN:Fay\r\nPHOTO:data:image/"
         "png;base64,AAA\r\nTEL:1\r\nEND:VCARD\r\n",
         {{"Fay", "1"}}},
        {"text before the first card", "hello\r\nBEGIN:VCARD\r\nEND:VCARD\r\n", {}, 1},
        {"card never ends, reported where it begins",
         "BEGIN:VCARD\r\nFN:A\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:B\r\n",
         {},
         4},
        {"card inside a card", "BEGIN:VCARD\r\nFN:A\r\nBEGIN:VCARD\r\n", {}, 3},
        {"a line without a colon", "BEGIN:VCARD\r\nFN:A\r\nnonsense\r\nEND:VCARD\r\n", {}, 3},
        {"version 2.1", "BEGIN:VCARD\r\nVERSION:2.1\r\nEND:VCARD\r\n", {}, 2},
        {"not UTF-8", "BEGIN:VCARD\r\nFN:A\r\nFN:\xFF\r\nEND:VCARD\r\n", {}, 3},
    };
    for (const Case& c : vcard) expect(c, parse_address_vcard);
    EXPECT_EQ(write_address_csv({}), "Name,Phoneno\r\n") << "an empty book";
    EXPECT_EQ(write_address_csv({{"Ann", ""}}), "Name,Phoneno\r\nAnn,\r\n") << "an empty field";
    EXPECT_EQ(write_address_vcard({}), "");
}

} // namespace
} // namespace quillon
