// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/elided_label.h"

#include <QFontMetrics>
#include <QResizeEvent>

namespace quillon {

namespace {
// Characters kept at each end at the narrowest.
constexpr int kept_at_each_end = 7;
} // namespace

ElidedLabel::ElidedLabel(QWidget *parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void ElidedLabel::set_whole_text(const QString &text) {
    if (text == whole_ && !text.isEmpty()) return;
    whole_ = text;
    setToolTip(text);
    elide();
    updateGeometry();
}

QSize ElidedLabel::sizeHint() const { return {room_for(whole_), QLabel::sizeHint().height()}; }

QSize ElidedLabel::minimumSizeHint() const {
    QString narrowest = whole_.size() <= 2 * kept_at_each_end + 1
                            ? whole_
                            : whole_.left(kept_at_each_end) + QChar(0x2026) + whole_.right(kept_at_each_end);
    return {room_for(narrowest), QLabel::minimumSizeHint().height()};
}

// The width that shows text whole, with a character to spare for bearings.
int ElidedLabel::room_for(const QString &text) const {
    QFontMetrics metrics(font());
    QMargins margins = contentsMargins();
    return metrics.horizontalAdvance(text) + metrics.averageCharWidth() + margins.left() + margins.right() +
           2 * margin();
}

void ElidedLabel::resizeEvent(QResizeEvent *event) {
    QLabel::resizeEvent(event);
    elide();
}

// Whole until laid out: a label not yet shown has no width to go by.
void ElidedLabel::elide() {
    const int room = contentsRect().width() - 2 * margin();
    QFontMetrics metrics(font());
    if (!isVisible() || room <= 0 || metrics.horizontalAdvance(whole_) <= room) setText(whole_);
    else setText(metrics.elidedText(whole_, Qt::ElideMiddle, room));
}

} // namespace quillon
