// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/popup_menu.h"

#include "base/form.h"

#include <QAction>
#include <QMenu>
#include <QVariant>

namespace quillon {

namespace {

void add_items(QMenu &menu, const std::vector<MenuItem *> &items) {
    for (MenuItem *item : items) {
        if (!item->visible()) continue;
        if (item->separator()) {
            menu.addSeparator();
            continue;
        }
        QString caption = QString::fromStdString(item->caption());
        QAction *action = nullptr;
        if (item->children.empty()) {
            action = menu.addAction(caption);
            // Only a ticked item shows a mark, as in the menus of old.
            action->setCheckable(item->checked());
            action->setChecked(item->checked());
        } else {
            QMenu *sub = menu.addMenu(caption);
            add_items(*sub, item->children);
            action = sub->menuAction();
        }
        action->setObjectName(QString::fromStdString(item->name()));
        action->setEnabled(item->enabled());
        action->setData(QVariant::fromValue(static_cast<void *>(item)));
    }
}

} // namespace

MenuItem *menu_item_of(const QAction *action) {
    return action ? static_cast<MenuItem *>(action->data().value<void *>()) : nullptr;
}

std::unique_ptr<QMenu> build_popup_menu(const std::vector<MenuItem *> &items, QWidget *parent) {
    auto menu = std::make_unique<QMenu>(parent);
    menu->setObjectName(QStringLiteral("configmenu"));
    add_items(*menu, items);
    return menu;
}

void show_popup_menu(const std::vector<MenuItem *> &items, const QPoint &at, QWidget *parent) {
    auto menu = build_popup_menu(items, parent);
    MenuItem *chosen = menu_item_of(menu->exec(at));
    menu.reset();
    if (chosen) chosen->choose();
}

} // namespace quillon
