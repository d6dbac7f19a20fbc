// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/help_window_view.h"

#include "base/main_form.h"
#include "qt/picture_box.h"
#include "qt/widget_text.h"

#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace quillon {

HelpWindowView::HelpWindowView(HelpForm &form) : form_(form) {
    setObjectName(QString::fromStdString(form.name()));
    setWindowTitle(QString::fromStdString(form.caption()));

    auto *picture = new PictureBox(this);
    picture->setObjectName(QString::fromStdString(form.ImagePic.name()));
    picture->setMinimumSize(200, 150);
    auto show_picture = [picture, &form] {
        show_common(*picture, form.ImagePic);
        // Read through QImage: QPixmap's cache would keep showing a file
        // replaced within the same second.
        picture->set_picture(form.ImagePic.path().empty()
                                 ? QPixmap()
                                 : QPixmap::fromImage(QImage(QFile::decodeName(form.ImagePic.path().c_str()))));
    };
    bindings_.bind(form.ImagePic, show_picture);

    auto *text = new QPlainTextEdit(this);
    text->setObjectName(QString::fromStdString(form.Txthelp.name()));
    text->setReadOnly(true);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto show_text = [text, &form] {
        show_common(*text, form.Txthelp);
        QString shown = display_text(form.Txthelp.text());
        if (text->toPlainText() != shown) text->setPlainText(shown);
    };
    bindings_.bind(form.Txthelp, show_text);

    auto *credits = new QLabel(this);
    credits->setObjectName(QString::fromStdString(form.Label1.name()));
    credits->setTextFormat(Qt::PlainText);
    credits->setAlignment(Qt::AlignCenter);
    auto show_credits = [credits, &form] {
        show_common(*credits, form.Label1);
        credits->setText(QString::fromStdString(form.Label1.caption()));
    };
    bindings_.bind(form.Label1, show_credits);

    auto *body = new QHBoxLayout;
    body->addWidget(picture, 2);
    body->addWidget(text, 3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(credits);

    bindings_.bind(form, [this] { show_window(*this, form_); });
    form.attach_all(&bindings_);
    resize(680, 380);
    bindings_.refresh_all();
}

HelpWindowView::~HelpWindowView() {
    form_.attach_all(nullptr);
}

void HelpWindowView::closeEvent(QCloseEvent *event) {
    close_window(form_, *event);
}

} // namespace quillon
