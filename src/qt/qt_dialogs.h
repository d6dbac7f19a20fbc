// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/dialogs.h"

#include <QString>

class QWidget;

namespace quillon {

// Turns "description|pattern|description|pattern" into Qt's
// "description (pattern);;..." form.
QString qt_file_filter(const std::string &filter);

// The core's modal boxes as Qt dialogs, over the main window.
class QtDialogs : public Dialogs {
public:
    void set_parent(QWidget *parent) { parent_ = parent; }

    void message(const std::string &text, Icon icon) override;
    bool ask_yes_no(const std::string &text) override;
    std::string input_box(const std::string &prompt, const std::string &caption,
                          const std::string &default_text) override;
    std::optional<std::string> open_file(const std::string &filter, const std::string &file_name) override;
    std::vector<std::string> open_files(const std::string &filter) override;
    std::optional<std::string> save_file(const std::string &filter, const std::string &file_name) override;

private:
    // A disabled main window would disable its boxes too.
    QWidget *owner() const;

    QWidget *parent_ = nullptr;
};

} // namespace quillon
