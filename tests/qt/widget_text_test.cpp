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

TEST(WidgetText, TheWidgetsTextAndCaretGoBackAsTheBytesTheyShow) {
    for (std::string bytes : {"", "plain", "two\r\nlines\r\n", "bell\x07 and \x7f", "\xC3\xA9t\xC3\xA9"}) {
        QString shown = display_text(bytes);
        EXPECT_EQ(model_text(shown), bytes);
        for (std::size_t caret = 0; caret <= bytes.size(); ++caret) {
            // Inside a CR LF or a UTF-8 sequence the caret has no place of its own.
            std::size_t back = model_caret(shown, display_position(bytes, caret));
            EXPECT_LE(back, caret + 1) << bytes << " " << caret;
            EXPECT_EQ(model_caret(shown, display_position(bytes, back)), back) << bytes << " " << caret;
        }
    }
    EXPECT_EQ(model_text(QStringLiteral("a\u2029b")), "a\r\nb");
}

} // namespace
} // namespace quillon
