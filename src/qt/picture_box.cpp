// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/picture_box.h"

#include <QPainter>

namespace quillon {

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PictureBox::set_picture(const QPixmap &picture) {
    picture_ = picture;
    update();
}

void PictureBox::paintEvent(QPaintEvent *) {
    if (picture_.isNull()) return;
    QSize size = picture_.size().scaled(this->size(), Qt::KeepAspectRatio);
    QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, picture_);
}

} // namespace quillon
