// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace quillon {

class Animation;

// Animation1: plays a Motion-JPEG AVI file frame by frame. A file that
// cannot be read shows nothing.
class AnimationView : public QWidget {
public:
    explicit AnimationView(Animation &model, QWidget *parent = nullptr);
    void refresh();
    int frame_count() const { return static_cast<int>(frames_.size()); }
    bool running() const { return timer_.isActive(); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void load(const QString &path);
    void next_frame();

    Animation &model_;
    QString loaded_path_;
    std::vector<QImage> frames_;
    std::size_t current_ = 0;
    QTimer timer_;
};

} // namespace quillon
