// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/input_text.h"

#include "qt/widget_text.h"

#include <algorithm>

namespace quillon {

namespace {

bool is_line_break(QChar c) {
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// Length of the unit at i: a CR LF pair, a complete UTF-8 sequence, or one
// byte of anything else.
std::size_t unit_length(std::string_view b, std::size_t i) {
    if (b[i] == '\r' && i + 1 < b.size() && b[i + 1] == '\n') return 2;
    auto c = static_cast<unsigned char>(b[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > b.size()) return 1;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(b[i + k]) & 0xC0) != 0x80) return 1;
    return n;
}

} // namespace

std::vector<InputText::Unit> InputText::units_of_bytes(std::string_view bytes) {
    std::vector<Unit> units;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t n = unit_length(bytes, i);
        std::string_view piece = bytes.substr(i, n);
        QString shown = display_text(piece);
        if (shown == QStringLiteral("\n")) shown = QChar(QChar::ParagraphSeparator);
        units.push_back({shown, std::string(piece)});
        i += n;
    }
    return units;
}

std::vector<InputText::Unit> InputText::units_of_typed(const QString &typed) {
    std::vector<Unit> units;
    for (qsizetype i = 0; i < typed.size(); ++i) {
        QChar c = typed[i];
        if (is_line_break(c)) {
            units.push_back({QString(QChar(QChar::ParagraphSeparator)), "\r\n"});
            continue;
        }
        qsizetype n = c.isHighSurrogate() && i + 1 < typed.size() && typed[i + 1].isLowSurrogate() ? 2 : 1;
        QString piece = typed.mid(i, n);
        units.push_back({piece, piece.toStdString()});
        i += n - 1;
    }
    return units;
}

void InputText::append(const Unit &unit) {
    bytes_ += unit.bytes;
    shown_ += unit.shown;
    // Positions inside a unit stand for its start.
    std::size_t start = offsets_.back();
    for (qsizetype k = 1; k < unit.shown.size(); ++k) {
        offsets_.push_back(start);
        boundary_.push_back(false);
    }
    offsets_.push_back(bytes_.size());
    boundary_.push_back(true);
}

void InputText::rebuild(const std::vector<Unit> &units) {
    for (const Unit &unit : units)
        append(unit);
}

void InputText::show(std::string_view bytes) {
    bytes_.clear();
    shown_.clear();
    offsets_.assign(1, 0);
    boundary_.assign(1, true);
    rebuild(units_of_bytes(bytes));
}

QString InputText::plain() const {
    QString out = shown_;
    out.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return out;
}

void InputText::edit(const QString &now) {
    // The unchanged start and end, widened to whole units.
    qsizetype old_size = shown_.size();
    qsizetype from = 0;
    while (from < old_size && from < now.size() && shown_[from] == now[from])
        ++from;
    qsizetype kept_end = 0;
    while (kept_end < old_size - from && kept_end < now.size() - from &&
           shown_[old_size - 1 - kept_end] == now[now.size() - 1 - kept_end])
        ++kept_end;
    qsizetype to = old_size - kept_end;
    while (!boundary_[static_cast<std::size_t>(from)])
        --from;
    while (!boundary_[static_cast<std::size_t>(to)])
        ++to;
    QString typed = now.mid(from, now.size() - (old_size - to) - from);

    std::string tail_bytes = bytes_.substr(offsets_[static_cast<std::size_t>(to)]);
    QString tail_shown = shown_.mid(to);
    std::vector<std::size_t> tail_offsets(offsets_.begin() + to, offsets_.end());
    std::vector<bool> tail_boundary(boundary_.begin() + to, boundary_.end());

    bytes_.resize(offsets_[static_cast<std::size_t>(from)]);
    shown_.truncate(from);
    offsets_.resize(static_cast<std::size_t>(from) + 1);
    boundary_.resize(static_cast<std::size_t>(from) + 1);
    rebuild(units_of_typed(typed));

    std::size_t tail_start = bytes_.size();
    bytes_ += tail_bytes;
    shown_ += tail_shown;
    for (std::size_t k = 1; k < tail_offsets.size(); ++k) {
        offsets_.push_back(tail_start + tail_offsets[k] - tail_offsets.front());
        boundary_.push_back(tail_boundary[k]);
    }
}

std::size_t InputText::offset_of(int position) const {
    auto p = static_cast<std::size_t>(std::clamp(position, 0, static_cast<int>(shown_.size())));
    return offsets_[p];
}

int InputText::position_of(std::size_t offset) const {
    auto it = std::lower_bound(offsets_.begin(), offsets_.end(), std::min(offset, bytes_.size()));
    auto p = static_cast<std::size_t>(it - offsets_.begin());
    while (!boundary_[p])
        ++p;
    return static_cast<int>(p);
}

} // namespace quillon
