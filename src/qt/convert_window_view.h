// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "qt/control_binding.h"

#include <QWidget>

namespace quillon {

class ConvertForm;

// Frmconvert on screen: the label, the bar and the animation of a
// reconversion in progress.
class ConvertWindowView : public QWidget {
public:
    explicit ConvertWindowView(ConvertForm &form);
    ~ConvertWindowView() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    ConvertForm &form_;
    ControlBindings bindings_;
};

} // namespace quillon
