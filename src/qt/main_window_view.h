// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "qt/control_binding.h"

#include <QString>
#include <QWidget>

class QKeyEvent;
class QLabel;
class QProgressBar;

namespace quillon {

class AddressGrid;
class AddressStore;
class Button;
class InputLine;
class Label;
class MainForm;
class OutputBox;
class PictureButton;

// frmmain on screen: shows every control of the model and hands every click,
// key and close back to it.
class MainWindowView : public QWidget {
public:
    // images_dir holds the buttons' pictures.
    MainWindowView(MainForm &form, AddressStore *store, const QString &images_dir);
    ~MainWindowView() override;

    // Puts bar along the foot of the window, which then owns it.
    void add_status_bar(QWidget *bar);
    // Cmdconfig's menu, at the mouse pointer.
    void popup_menu();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Keys no child took: dialling by keyboard.
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool dial_by_keyboard(const QKeyEvent &event);
    PictureButton *add_button(Button &model, const QString &picture);
    QLabel *add_label(const Label &model);
    QWidget *build_keypad();

    MainForm &form_;
    QString images_dir_;
    ControlBindings bindings_;
    InputLine *send_line_ = nullptr;
    PictureButton *keypad_[10] = {};
    PictureButton *dial_button_ = nullptr;
};

} // namespace quillon
