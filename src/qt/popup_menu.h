// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <vector>

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace quillon {

class MenuItem;

// A pop-up menu as its model stands now: captions, order, ticks, enabled
// states, separators, submenus. Each action carries its MenuItem.
std::unique_ptr<QMenu> build_popup_menu(const std::vector<MenuItem *> &items, QWidget *parent);
MenuItem *menu_item_of(const class QAction *action);

// Shows the menu at a point and, once it has closed, runs the chosen item.
void show_popup_menu(const std::vector<MenuItem *> &items, const QPoint &at, QWidget *parent);

} // namespace quillon
