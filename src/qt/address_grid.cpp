// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/address_grid.h"

#include "addressbook/address_store.h"
#include "app/form.h"
#include "qt/control_binding.h"
#include "qt/core_guard.h"

#include <QHeaderView>

namespace quillon {

AddressGrid::AddressGrid(Grid &model, AddressStore *store, QWidget *parent)
    : QTableWidget(0, 2, parent), model_(model), store_(store) {
    setObjectName(QString::fromStdString(model.name()));
    setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Phoneno")});
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    verticalHeader()->setVisible(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    // A click chooses its row, the current one included; the keys choose
    // the row they move to.
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int) { row_chosen(row); });
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous_row, int) {
        if (!reloading_ && !mouse_down_ && row >= 0 && row != previous_row) row_chosen(row);
    });
    refresh();
}

void AddressGrid::refresh() {
    bool was_hidden = isHidden();
    show_common(*this, model_);
    if (!model_.visible()) return;
    raise();
    bool stale = !loaded_ || model_.generation() != loaded_generation_;
    if (stale || was_hidden) reload();
}

void AddressGrid::reload() {
    reloading_ = true;
    loaded_ = true;
    loaded_generation_ = model_.generation();
    std::vector<AddressRow> rows;
    std::optional<std::size_t> current;
    if (store_) {
        try {
            rows = store_->rows();
            current = store_->current_index();
        } catch (const StoreError &) {
            rows.clear(); // a book that cannot be read shows empty
            current.reset();
        }
    }
    clearContents();
    setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rowCount(); ++r) {
        setItem(r, 0, new QTableWidgetItem(QString::fromStdString(rows[r].name)));
        setItem(r, 1, new QTableWidgetItem(QString::fromStdString(rows[r].phoneno)));
    }
    if (current && *current < rows.size()) setCurrentCell(static_cast<int>(*current), 0);
    reloading_ = false;
}

void AddressGrid::mousePressEvent(QMouseEvent *event) {
    mouse_down_ = true;
    QTableWidget::mousePressEvent(event);
    mouse_down_ = false;
}

void AddressGrid::row_chosen(int row) {
    call_core([this, row] { model_.select_row(static_cast<std::size_t>(row)); });
}

} // namespace quillon
