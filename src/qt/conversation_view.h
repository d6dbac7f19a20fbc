// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "qt/control_binding.h"

#include <QWidget>

namespace quillon {

class ConversationForm;

// Frmconversation on screen: both sides of this run's calls, read only.
class ConversationView : public QWidget {
public:
    explicit ConversationView(ConversationForm &form);
    ~ConversationView() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    ConversationForm &form_;
    ControlBindings bindings_;
};

} // namespace quillon
