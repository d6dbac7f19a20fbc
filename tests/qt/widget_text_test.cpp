// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/widget_text.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(WidgetText, BytesAsShownWholeOrInPieces) {
    struct Row {
        std::vector<std::string> pieces;
        const char16_t *shown;
    } rows[] = {
        {{"a\r\nb"}, u"a\nb"},
        {{"a\r", "\nb"}, u"a\nb"},
        {{"a\n\nb\r\rc"}, u"a\n\nb\n\nc"},
        {{"\xC3", "\xA9"}, u"\u00e9"},
        {{"tab\there"}, u"tab\there"},
        {{"bell\x07", "\x1b[0m", "\x7f"}, u"bell\u2407\u241b[0m\u2421"},
        {{"\xC2\x85", "\xE2\x80\xA8"}, u"\ufffd\ufffd"},
    };
    for (const Row &r : rows) {
        DisplayDecoder decoder;
        QString pieces, whole;
        std::string all;
        for (const std::string &p : r.pieces) {
            pieces += decoder.decode(p);
            all += p;
        }
        QString want = QString::fromUtf16(r.shown);
        EXPECT_EQ(pieces, want) << all;
        EXPECT_EQ(display_text(all), want) << all;
    }
}

} // namespace
} // namespace quillon
