#pragma once

#include "qt/widget_text.h"

#include <QPlainTextEdit>

#include <string>
#include <string_view>

namespace quillon {

class TextBox;

// txtreceived: a read-only box that shows its model's bytes. Text that only
// grows is added at the end, so a long conversation is never redrawn whole.
class OutputBox : public QPlainTextEdit {
public:
    explicit OutputBox(TextBox &model, QWidget *parent = nullptr);
    void refresh();
    void append(std::string_view more);

private:
    void replace_all();

    TextBox &model_;
    DisplayDecoder decoder_;
    std::string shown_; // the model bytes on screen
};

} // namespace quillon
