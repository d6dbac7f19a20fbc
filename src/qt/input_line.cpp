// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/input_line.h"

#include "base/form.h"
#include "qt/control_binding.h"

#include <QKeyEvent>
#include <QTextCursor>
#include <QTextDocument>

namespace quillon {

InputLine::InputLine(TextBox &model, std::function<void()> on_enter, QWidget *parent)
    : QPlainTextEdit(parent), model_(model), on_enter_(std::move(on_enter)) {
    setObjectName(QString::fromStdString(model.name()));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab is typed, as in any text; Ctrl+Tab moves the focus on.
    setTabChangesFocus(false);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { report(); });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] { report(); });
    connect(this, &QPlainTextEdit::selectionChanged, this, [this] { report(); });
    refresh();
}

void InputLine::refresh() {
    show_common(*this, model_);
    setReadOnly(model_.locked());
    refreshing_ = true;
    text_.show(model_.text());
    if (document()->toRawText() != text_.shown()) setPlainText(text_.plain());
    QTextCursor cursor = textCursor();
    cursor.setPosition(text_.position_of(model_.anchor()));
    cursor.setPosition(text_.position_of(model_.caret()), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    refreshing_ = false;
}

void InputLine::report() {
    if (refreshing_) return;
    QString now = document()->toRawText();
    if (now != text_.shown()) {
        text_.edit(now);
        model_.user_edit(text_.bytes(), 0);
    }
    QTextCursor cursor = textCursor();
    model_.user_select(text_.offset_of(cursor.position()), text_.offset_of(cursor.anchor()));
}

void InputLine::keyPressEvent(QKeyEvent *event) {
    bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) && (event->modifiers() & Qt::ControlModifier)) {
        // Past this box's own refusal to move on while Tab is typed.
        QAbstractScrollArea::focusNextPrevChild(event->key() == Qt::Key_Tab &&
                                                !(event->modifiers() & Qt::ShiftModifier));
        event->accept();
        return;
    }
    if (!enter) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    // The handler must see the text, caret and selection the user left.
    report();
    on_enter_();
    refresh();
    event->accept();
}

} // namespace quillon
