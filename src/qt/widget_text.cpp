// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/widget_text.h"

#include <QStringDecoder>

namespace quillon {

namespace {

// Unicode's "Control Pictures" block shows C0 codes as U+2400 + code and
// DEL as U+2421.
constexpr char16_t control_pictures = 0x2400;
constexpr char16_t delete_picture = 0x2421;

void append_shown(QString &out, QChar c, bool &after_cr) {
    char16_t u = c.unicode();
    bool was_cr = after_cr;
    after_cr = false;
    if (u == u'\n') {
        if (!was_cr) out += QChar(u'\n');
    } else if (u == u'\r') {
        out += QChar(u'\n');
        after_cr = true;
    } else if (u == u'\t') {
        out += c;
    } else if (u < 0x20) {
        out += QChar(char16_t(control_pictures + u));
    } else if (u == 0x7f) {
        out += QChar(delete_picture);
    } else if ((u >= 0x80 && u < 0xa0) || u == 0x2028 || u == 0x2029) {
        // C1 codes and Unicode's own line and paragraph separators.
        out += QChar(QChar::ReplacementCharacter);
    } else {
        out += c;
    }
}

QString shown_chars(const QString &decoded, bool &after_cr) {
    QString out;
    out.reserve(decoded.size());
    for (QChar c : decoded)
        append_shown(out, c, after_cr);
    return out;
}

QString decode_utf8(std::string_view bytes, QStringDecoder &decoder) {
    return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

} // namespace

QString display_text(std::string_view bytes) {
    QStringDecoder whole(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    bool after_cr = false;
    return shown_chars(decode_utf8(bytes, whole), after_cr);
}

} // namespace quillon
