#include "qt/input_line.h"

#include "app/form.h"
#include "qt/control_binding.h"
#include "qt/widget_text.h"

#include <QKeyEvent>
#include <QTextCursor>

namespace quillon {

InputLine::InputLine(TextBox &model, std::function<void()> on_enter, QWidget *parent)
    : QPlainTextEdit(parent), model_(model), on_enter_(std::move(on_enter)) {
    setObjectName(QString::fromStdString(model.name()));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { report_edit(); });
    refresh();
}

void InputLine::refresh() {
    show_common(*this, model_);
    setReadOnly(model_.locked());
    refreshing_ = true;
    QString shown = display_text(model_.text());
    if (toPlainText() != shown) setPlainText(shown);
    QTextCursor cursor = textCursor();
    cursor.setPosition(display_position(model_.text(), model_.caret()));
    setTextCursor(cursor);
    refreshing_ = false;
}

void InputLine::report_edit() {
    if (refreshing_) return;
    model_.user_edit(model_text(toPlainText()), model_caret(toPlainText(), textCursor().position()));
}

void InputLine::keyPressEvent(QKeyEvent *event) {
    bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    // The handler must see the caret where the user left it.
    std::size_t caret = model_caret(toPlainText(), textCursor().position());
    if (caret != model_.caret()) report_edit();
    on_enter_();
    refresh();
    event->accept();
}

} // namespace quillon
