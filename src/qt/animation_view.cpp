// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/animation_view.h"

#include "base/form.h"
#include "qt/control_binding.h"
#include "qt/mjpeg_avi.h"
#include "qt/qt_media.h"

#include <QPainter>

#include <algorithm>

namespace quillon {

AnimationView::AnimationView(Animation &model, QWidget *parent) : QWidget(parent), model_(model) {
    setObjectName(QString::fromStdString(model.name()));
    connect(&timer_, &QTimer::timeout, this, [this] { next_frame(); });
    refresh();
}

void AnimationView::refresh() {
    show_common(*this, model_);
    if (!model_.playing()) {
        timer_.stop();
        return;
    }
    QString path = QString::fromStdString(model_.path());
    if (path != loaded_path_) load(path);
    if (frames_.size() > 1 && !timer_.isActive()) timer_.start();
}

void AnimationView::load(const QString &path) {
    loaded_path_ = path;
    timer_.stop();
    frames_.clear();
    current_ = 0;
    if (auto movie = read_mjpeg_avi(model_.path())) {
        frames_ = decoded_frames(*movie);
        // A frame time of 0 or of minutes would mean a broken header.
        int ms = static_cast<int>(movie->microseconds_per_frame / 1000);
        timer_.setInterval(std::clamp(ms, 20, 1000));
    }
    updateGeometry();
    update();
}

void AnimationView::next_frame() {
    if (frames_.empty()) return;
    current_ = (current_ + 1) % frames_.size();
    update();
}

QSize AnimationView::sizeHint() const {
    return frames_.empty() ? QSize(180, 90) : frames_.front().size();
}

void AnimationView::paintEvent(QPaintEvent *) {
    if (frames_.empty()) return;
    const QImage &frame = frames_[current_];
    QSize size = frame.size().scaled(this->size(), Qt::KeepAspectRatio);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size), frame);
}

} // namespace quillon
