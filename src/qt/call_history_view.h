// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "qt/control_binding.h"

#include <QWidget>

class QTableWidget;

namespace quillon {

class CallHistoryForm;
class CallHistoryWindow;

// Frmhistory on screen: the calls as the history window's handlers list
// them, and the Dial button.
class CallHistoryView : public QWidget {
public:
    CallHistoryView(CallHistoryForm &form, const CallHistoryWindow &window);
    ~CallHistoryView() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void reload();

    CallHistoryForm &form_;
    const CallHistoryWindow &window_;
    QTableWidget *table_;
    ControlBindings bindings_;
    bool reloading_ = false;
};

} // namespace quillon
