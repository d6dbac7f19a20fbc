#pragma once

#include <QPlainTextEdit>

#include <functional>

namespace quillon {

class TextBox;

// txtsend: a multi-line input box whose model stays the truth. The user's
// edits go to the model; the Enter key goes to the core's key handler,
// which puts the line break into the model, and the box then shows the model.
class InputLine : public QPlainTextEdit {
public:
    InputLine(TextBox &model, std::function<void()> on_enter, QWidget *parent = nullptr);
    // Shows the model's text, with the cursor at the model's caret.
    void refresh();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void report_edit();

    TextBox &model_;
    std::function<void()> on_enter_;
    bool refreshing_ = false;
};

} // namespace quillon
