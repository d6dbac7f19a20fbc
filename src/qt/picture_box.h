// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QWidget>

namespace quillon {

// A picture scaled to fit its box, keeping its proportions.
class PictureBox : public QWidget {
public:
    explicit PictureBox(QWidget *parent = nullptr);
    void set_picture(const QPixmap &picture);
    const QPixmap &picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap picture_;
};

} // namespace quillon
