// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTableView>

namespace quillon {

class AddressStore;
class AddressRows;
class Grid;

// DBGrid1: the address book's rows, listed again whenever the model asks
// for a reload or the grid is shown, and read from the store only as they
// come into view, so a book of a million rows shows at once. Choosing a
// row, by a click on any of its cells or by the keys, tells the model,
// whose handler moves the store to it.
class AddressGrid : public QTableView {
public:
    AddressGrid(Grid &model, AddressStore *store, QWidget *parent = nullptr);
    void refresh();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void reload();
    void row_chosen(int row);

    Grid &model_;
    AddressStore *store_;
    AddressRows *rows_;
    unsigned long loaded_generation_ = 0;
    bool loaded_ = false;
    bool reloading_ = false;
    bool mouse_down_ = false;
};

} // namespace quillon
