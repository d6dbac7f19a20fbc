// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/convert_window_view.h"

#include "base/main_form.h"
#include "qt/animation_view.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace quillon {

ConvertWindowView::ConvertWindowView(ConvertForm &form) : QWidget(nullptr, Qt::Dialog), form_(form) {
    setObjectName(QString::fromStdString(form.name()));
    setWindowTitle(QString::fromStdString(form.caption()));

    auto *animation = new AnimationView(form.Animation1, this);
    animation->setMinimumSize(180, 90);
    bindings_.bind(form.Animation1, [animation] { animation->refresh(); });

    auto *label = new QLabel(this);
    label->setObjectName(QString::fromStdString(form.Lblconvert.name()));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    auto show_label = [label, &form] {
        show_common(*label, form.Lblconvert);
        label->setText(QString::fromStdString(form.Lblconvert.caption()));
    };
    bindings_.bind(form.Lblconvert, show_label);

    auto *bar = new QProgressBar(this);
    bar->setObjectName(QString::fromStdString(form.ProgressBar1.name()));
    auto show_bar = [bar, &form] {
        show_common(*bar, form.ProgressBar1);
        show_progress(*bar, form.ProgressBar1);
    };
    bindings_.bind(form.ProgressBar1, show_bar);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(animation, 1, Qt::AlignHCenter);
    layout->addWidget(label);
    layout->addWidget(bar);

    bindings_.bind(form, [this] { show_window(*this, form_); });
    form.attach_all(&bindings_);
    bindings_.refresh_all();
    setFixedSize(380, 220);
}

ConvertWindowView::~ConvertWindowView() {
    form_.attach_all(nullptr);
}

void ConvertWindowView::closeEvent(QCloseEvent *event) {
    close_window(form_, *event);
}

} // namespace quillon
