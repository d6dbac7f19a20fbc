// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringDecoder>

#include <cstddef>
#include <string>
#include <string_view>

namespace quillon {

// Turns the bytes of a text box (UTF-8, CR LF line breaks) into what a Qt
// text widget shows, piece by piece: any of CR LF, CR or LF is one line
// break, and other control characters are shown as visible symbols instead
// of acting on the widget. Pieces may split a UTF-8 sequence or a CR LF pair.
class DisplayDecoder {
public:
    QString decode(std::string_view bytes);
    void reset();

private:
    QStringDecoder utf8_{QStringDecoder::Utf8};
    bool after_cr_ = false;
};

// The whole of a text box's bytes as shown; an unfinished UTF-8 sequence at
// the end shows as a replacement character.
QString display_text(std::string_view bytes);

} // namespace quillon
