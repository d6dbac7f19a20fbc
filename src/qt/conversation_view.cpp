// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/conversation_view.h"

#include "qt/widget_text.h"
#include "session/conversation.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace quillon {

ConversationView::ConversationView(ConversationForm &form) : form_(form) {
    setObjectName(QString::fromStdString(form.name()));
    setWindowTitle(QString::fromStdString(form.caption()));

    auto *text = new QPlainTextEdit(this);
    text->setObjectName(QString::fromStdString(form.txtconversation.name()));
    text->setReadOnly(true);
    auto show_text = [text, &form] {
        show_common(*text, form.txtconversation);
        QString shown = display_text(form.txtconversation.text());
        if (text->toPlainText() == shown) return;
        // The newest message in view, as in a chat.
        text->setPlainText(shown);
        text->verticalScrollBar()->setValue(text->verticalScrollBar()->maximum());
    };
    bindings_.bind(form.txtconversation, show_text);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    bindings_.bind(form, [this] { show_window(*this, form_); });
    form.attach_all(&bindings_);
    resize(560, 400);
    bindings_.refresh_all();
}

ConversationView::~ConversationView() {
    form_.attach_all(nullptr);
}

void ConversationView::closeEvent(QCloseEvent *event) {
    close_window(form_, *event);
}

} // namespace quillon
