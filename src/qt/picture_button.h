// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QToolButton>

namespace quillon {

class Button;

// A button that shows a picture: the model's own picture file when it has
// one, else the button's usual picture; its caption only if neither loads.
class PictureButton : public QToolButton {
public:
    PictureButton(Button &model, QString usual_picture, QWidget *parent = nullptr);
    void refresh();
    Button &model() { return model_; }

private:
    Button &model_;
    QString usual_picture_;
    QString shown_picture_;
};

} // namespace quillon
