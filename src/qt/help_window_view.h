// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "qt/control_binding.h"

#include <QWidget>

namespace quillon {

class HelpForm;

// Frmhelp on screen: a non-modal window that comes and goes with the
// model's visible flag.
class HelpWindowView : public QWidget {
public:
    explicit HelpWindowView(HelpForm &form);
    ~HelpWindowView() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    HelpForm &form_;
    ControlBindings bindings_;
};

} // namespace quillon
