// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// The input line's text twice over: the text box's bytes and the widget's
// text, unit by unit (a character, a CR LF pair, a byte that is no UTF-8).
// An edit in the widget changes only the bytes of the units it touched, and
// what the user typed or pasted goes in as it is, in UTF-8, with only its
// line breaks made CR LF.
class InputText {
public:
    // Starts again from the box's bytes.
    void show(std::string_view bytes);
    // The widget's text as the document holds it: U+2029 between lines.
    const QString &shown() const { return shown_; }
    // The same with '\n' between lines, to give to the widget.
    QString plain() const;
    // The widget's text is now this; the bytes follow the edit.
    void edit(const QString &now);
    const std::string &bytes() const { return bytes_; }

    // A widget position as a byte offset (the start of a unit it splits),
    // and a byte offset as a widget position.
    std::size_t offset_of(int position) const;
    int position_of(std::size_t offset) const;

private:
    struct Unit {
        QString shown;
        std::string bytes;
    };
    static std::vector<Unit> units_of_bytes(std::string_view bytes);
    static std::vector<Unit> units_of_typed(const QString &typed);
    void rebuild(const std::vector<Unit> &units);
    void append(const Unit &unit);

    std::string bytes_;
    QString shown_;
    // For each widget position 0..size: the bytes before it, and whether a
    // unit starts there.
    std::vector<std::size_t> offsets_{0};
    std::vector<bool> boundary_{true};
};

} // namespace quillon
