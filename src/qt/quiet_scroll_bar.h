// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QScrollBar>

namespace quillon {

// A scroll bar that is drawn again only when its look changes. A box that
// grows with every arrival changes the bar's range each time, yet once the
// handle is at its smallest and at the end nothing of it moves; drawing it
// anyway would draw the window behind it too.
class QuietScrollBar : public QScrollBar {
public:
    explicit QuietScrollBar(Qt::Orientation orientation, QWidget *parent = nullptr);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // What of the bar a change of range or value can alter.
    struct Look {
        QRect handle;
        bool empty, at_start, at_end;
        bool operator==(const Look &) const = default;
    };
    Look look() const;

    Look drawn_{};
    bool drawn_valid_ = false;
    bool looking_ = false;
};

} // namespace quillon
