// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/picture_button.h"

#include "base/form.h"
#include "qt/control_binding.h"
#include "qt/core_guard.h"

#include <QFile>
#include <QIcon>
#include <QPixmap>

namespace quillon {

PictureButton::PictureButton(Button &model, QString usual_picture, QWidget *parent)
    : QToolButton(parent), model_(model), usual_picture_(std::move(usual_picture)) {
    setObjectName(QString::fromStdString(model.name()));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QToolButton::clicked, this, [this] { call_core([this] { model_.click(); }); });
    refresh();
}

void PictureButton::refresh() {
    show_common(*this, model_);
    QString caption = QString::fromStdString(model_.caption());
    setAccessibleName(caption.isEmpty() ? toolTip() : caption);
    QString wanted = model_.picture().empty() ? usual_picture_ : QFile::decodeName(model_.picture().c_str());
    if (wanted == shown_picture_) return;
    QPixmap picture(wanted);
    if (picture.isNull()) {
        setIcon(QIcon());
        setToolButtonStyle(Qt::ToolButtonTextOnly);
        setText(caption.isEmpty() ? toolTip() : caption);
    } else {
        setIcon(QIcon(picture));
        setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    shown_picture_ = wanted;
}

} // namespace quillon
