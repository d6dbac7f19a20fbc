// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/quiet_scroll_bar.h"

#include <QPaintEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>

namespace quillon {

QuietScrollBar::QuietScrollBar(Qt::Orientation orientation, QWidget *parent) : QScrollBar(orientation, parent) {}

QuietScrollBar::Look QuietScrollBar::look() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    QRect handle = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    return {handle, minimum() == maximum(), value() == minimum(), value() == maximum()};
}

void QuietScrollBar::sliderChange(SliderChange change) {
    // Styles whose bars show only while scrolling must hear every move.
    bool range_or_value = change == SliderRangeChange || change == SliderValueChange;
    if (!range_or_value || !drawn_valid_ || style()->styleHint(QStyle::SH_ScrollBar_Transient, nullptr, this))
        return QScrollBar::sliderChange(change);
    // A new range and then the value at its end come one after the other:
    // the look is judged once both are in.
    if (looking_) return;
    looking_ = true;
    QTimer::singleShot(0, this, [this] {
        looking_ = false;
        if (look() != drawn_) update();
    });
}

void QuietScrollBar::paintEvent(QPaintEvent *event) {
    QScrollBar::paintEvent(event);
    // A part drawn alone (an arrow as it is pressed) leaves the handle
    // elsewhere as it was: only a whole paint shows the look as it is.
    if (!(QRegion(rect()) - event->region()).isEmpty()) return;
    drawn_ = look();
    drawn_valid_ = true;
}

} // namespace quillon
