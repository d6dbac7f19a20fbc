// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/main_window_view.h"

#include "base/main_form.h"
#include "qt/address_grid.h"
#include "qt/core_guard.h"
#include "qt/input_line.h"
#include "qt/output_box.h"
#include "qt/picture_button.h"
#include "qt/popup_menu.h"

#include <QCloseEvent>
#include <QCursor>
#include <QFrame>
#include <QGridLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace quillon {

namespace {

constexpr int button_size = 58;
constexpr int icon_size = 44;

} // namespace

MainWindowView::MainWindowView(MainForm &form, AddressStore *store, const QString &images_dir)
    : form_(form), images_dir_(images_dir) {
    setObjectName(QString::fromStdString(form.name()));
    setWindowTitle(QString::fromStdString(form.caption()));
    setWindowIcon(QIcon(images_dir_ + QStringLiteral("/quillon.png")));

    auto *received = new OutputBox(form.txtreceived, this);
    bindings_.bind(form.txtreceived, [received] { received->refresh(); });
    bindings_.bind_append(form.txtreceived, [received](std::string_view more) { received->append(more); });

    auto *send_line = send_line_ = new InputLine(
        form.txtsend,
        [&form] {
            call_core([&form] {
                if (form.on_txtsend_key_press) form.on_txtsend_key_press(13);
            });
        },
        this);
    bindings_.bind(form.txtsend, [send_line] { send_line->refresh(); });
    send_line->setMinimumHeight(72);

    // The grid lies exactly over the input line: one cell holds both.
    auto *input_cell = new QGridLayout;
    input_cell->setContentsMargins(0, 0, 0, 0);
    input_cell->addWidget(send_line, 0, 0);
    auto *grid = new AddressGrid(form.DBGrid1, store, this);
    input_cell->addWidget(grid, 0, 0);

    auto *progress = new QProgressBar(this);
    progress->setObjectName(QString::fromStdString(form.ProgressBar1.name()));
    auto show_bar = [progress, &form] {
        show_common(*progress, form.ProgressBar1);
        show_progress(*progress, form.ProgressBar1);
    };
    show_bar();
    bindings_.bind(form.ProgressBar1, show_bar);

    auto *left = new QGridLayout;
    left->addWidget(add_label(form.Lblchatreceived), 0, 0, 1, 2);
    left->addWidget(received, 1, 0, 1, 2);
    left->addWidget(add_label(form.lblchat), 2, 0, 1, 2);
    left->addLayout(input_cell, 3, 0);
    left->addWidget(add_button(form.cmdsend, QStringLiteral("send.png")), 3, 1, Qt::AlignBottom);
    left->addWidget(progress, 4, 0, 1, 2);
    left->setRowStretch(1, 3);
    left->setRowStretch(3, 1);
    // Shown, the address book takes the room the output box had: as many
    // rows as fit, not the input line's two and a half.
    auto show_grid = [grid, left, &form] {
        grid->refresh();
        left->setRowStretch(1, form.DBGrid1.visible() ? 1 : 3);
        left->setRowStretch(3, form.DBGrid1.visible() ? 3 : 1);
    };
    bindings_.bind(form.DBGrid1, show_grid);

    auto *layout = new QGridLayout(this);
    layout->addLayout(left, 0, 0);
    layout->addWidget(build_keypad(), 0, 1);
    layout->setColumnStretch(0, 1);

    bindings_.bind(form, [this] { setEnabled(form_.enabled()); });
    form.attach_all(&bindings_);
    bindings_.refresh_all();
    resize(760, 470);
}

MainWindowView::~MainWindowView() {
    form_.attach_all(nullptr);
}

QWidget *MainWindowView::build_keypad() {
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("keypad"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto *keys = new QGridLayout;
    keys->setSpacing(6);
    for (int d = 1; d <= 9; ++d) {
        keypad_[d] = add_button(form_.Cmddialn[d], QStringLiteral("digit%1.png").arg(d));
        keys->addWidget(keypad_[d], (d - 1) / 3, (d - 1) % 3);
    }
    keys->addWidget(add_button(form_.Cmddialtone, QStringLiteral("tone.png")), 3, 0);
    keypad_[0] = add_button(form_.Cmddialn[0], QStringLiteral("digit0.png"));
    keys->addWidget(keypad_[0], 3, 1);
    keys->addWidget(add_button(form_.Cmdconfig, QStringLiteral("menu.png")), 3, 2);

    auto *rule = new QFrame(panel);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto *calls = new QGridLayout;
    calls->setSpacing(6);
    dial_button_ = add_button(form_.cmddial, QStringLiteral("dial.png"));
    calls->addWidget(dial_button_, 0, 0);
    calls->addWidget(add_button(form_.cmdre, QStringLiteral("redial.jpg")), 0, 1);
    calls->addWidget(add_button(form_.cmdcan, QStringLiteral("cancel.png")), 0, 2);

    // The call buttons sit at the foot, level with the input line.
    auto *column = new QVBoxLayout(panel);
    column->addLayout(keys);
    column->addStretch();
    column->addWidget(rule);
    column->addLayout(calls);
    return panel;
}

PictureButton *MainWindowView::add_button(Button &model, const QString &picture) {
    auto *button = new PictureButton(model, images_dir_ + QLatin1Char('/') + picture, this);
    button->setFixedSize(button_size, button_size);
    button->setIconSize(QSize(icon_size, icon_size));
    bindings_.bind(model, [button] { button->refresh(); });
    return button;
}

QLabel *MainWindowView::add_label(const Label &model) {
    auto *label = new QLabel(this);
    label->setObjectName(QString::fromStdString(model.name()));
    label->setTextFormat(Qt::PlainText);
    auto show = [label, &model] {
        show_common(*label, model);
        label->setText(QString::fromStdString(model.caption()));
    };
    show();
    bindings_.bind(model, show);
    return label;
}

void MainWindowView::add_status_bar(QWidget *bar) {
    bar->setParent(this);
    static_cast<QGridLayout *>(layout())->addWidget(bar, 1, 0, 1, 2);
}

void MainWindowView::popup_menu() {
    show_popup_menu(form_.configmenu, QCursor::pos(), this);
}

void MainWindowView::keyPressEvent(QKeyEvent *event) {
    if (dial_by_keyboard(*event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

// While the input line is empty and has no focus, the keys work the
// keypad: digits press its buttons, Backspace takes the last digit back,
// Enter presses the dial button. Pressing the widgets keeps their enabled
// state the judge.
bool MainWindowView::dial_by_keyboard(const QKeyEvent &event) {
    if (send_line_->hasFocus() || !form_.txtsend.text().empty()) return false;
    // A resting keypad (a call, a transfer, no modem) rests for the keyboard too.
    if (!keypad_[0]->isEnabled()) return false;
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    int key = event.key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        keypad_[key - Qt::Key_0]->click();
    } else if (key == Qt::Key_Backspace) {
        call_core([this] {
            if (form_.on_dial_backspace) form_.on_dial_backspace();
        });
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        dial_button_->click();
    } else {
        return false;
    }
    return true;
}

void MainWindowView::closeEvent(QCloseEvent *event) {
    // The core decides: its unload ends the program.
    event->ignore();
    call_core([this] { form_.close(); });
}

} // namespace quillon
