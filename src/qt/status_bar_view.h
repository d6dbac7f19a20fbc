// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

class QLabel;

namespace quillon {

class StatusModel;
class ElidedLabel;

// The status bar along the foot of the main window: shows the status
// model, nothing more. The line indicators are filled or hollow marks with
// their names, so on and off differ by more than colour.
class StatusBarView : public QFrame {
public:
    explicit StatusBarView(StatusModel &model, QWidget *parent = nullptr);
    ~StatusBarView() override;

    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *add_label(const char *name);
    ElidedLabel *add_elided(const char *name);

    StatusModel &model_;
    ElidedLabel *call_;
    QLabel *online_;
    QLabel *lines_[4];
    ElidedLabel *port_;
    QLabel *dial_mode_;
    ElidedLabel *mode_;
    bool reading_due_ = false;
};

} // namespace quillon
