// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace quillon {

// A label for a text that may not fit: short of room it leaves out the
// middle, where a path or a device name says least, and the tooltip gives
// the whole. It never gets narrower than a few characters of each end, so
// what is left still means something.
class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    void set_whole_text(const QString &text);
    const QString &whole_text() const { return whole_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void elide();
    int room_for(const QString &text) const;

    QString whole_;
};

} // namespace quillon
