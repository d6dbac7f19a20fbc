#include "qt/output_box.h"

#include "app/form.h"
#include "qt/control_binding.h"

#include <QScrollBar>
#include <QTextCursor>

namespace quillon {

OutputBox::OutputBox(TextBox &model, QWidget *parent) : QPlainTextEdit(parent), model_(model) {
    setObjectName(QString::fromStdString(model.name()));
    setReadOnly(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUndoRedoEnabled(false);
    refresh();
}

void OutputBox::refresh() {
    show_common(*this, model_);
    const std::string &text = model_.text();
    if (text == shown_) return;
    if (text.size() > shown_.size() && text.compare(0, shown_.size(), shown_) == 0) {
        append(std::string_view(text).substr(shown_.size()));
        return;
    }
    replace_all();
}

void OutputBox::replace_all() {
    shown_ = model_.text();
    decoder_.reset();
    setPlainText(decoder_.decode(shown_));
}

void OutputBox::append(std::string_view more) {
    if (model_.text().size() != shown_.size() + more.size()) {
        // Not the growth this box has seen; show the model as it is.
        replace_all();
        return;
    }
    QScrollBar *bar = verticalScrollBar();
    bool at_bottom = bar->value() == bar->maximum();
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(decoder_.decode(more));
    shown_.append(more);
    if (at_bottom) bar->setValue(bar->maximum());
}

} // namespace quillon
