// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "qt/input_text.h"

#include <QPlainTextEdit>

#include <functional>

namespace quillon {

class TextBox;

// txtsend: a multi-line input box whose model stays the truth. The user's
// edits and selection go to the model as typed; the Enter key goes to the
// core's key handler, which puts the line break into the model in place of
// the selection, and the box then shows the model.
class InputLine : public QPlainTextEdit {
public:
    InputLine(TextBox &model, std::function<void()> on_enter, QWidget *parent = nullptr);
    // Shows the model's text and selection.
    void refresh();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Tells the model what the user changed: text, caret, selection.
    void report();

    TextBox &model_;
    std::function<void()> on_enter_;
    InputText text_;
    bool refreshing_ = false;
};

} // namespace quillon
