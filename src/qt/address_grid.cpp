// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/address_grid.h"

#include "base/address_store.h"
#include "base/form.h"
#include "qt/control_binding.h"
#include "qt/core_guard.h"

#include <QAbstractTableModel>
#include <QHeaderView>

#include <vector>

namespace quillon {

// The listing as a table: the row count from the store, and the rows in
// pages read when the view first asks for one of them.
class AddressRows : public QAbstractTableModel {
public:
    explicit AddressRows(QObject *parent) : QAbstractTableModel(parent) {}

    void relist(AddressStore *store) {
        beginResetModel();
        store_ = store;
        count_ = 0;
        page_.clear();
        page_first_ = 0;
        if (store_) {
            try {
                count_ = store_->list_rows();
            } catch (const StoreError &) {
                count_ = 0; // a book that cannot be read shows empty
            }
        }
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(count_);
    }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 2; }

    QVariant data(const QModelIndex &index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) return {};
        const AddressRow *row = at(static_cast<std::size_t>(index.row()));
        if (!row) return {};
        return QString::fromStdString(index.column() == 0 ? row->name : row->phoneno);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
        return section == 0 ? QStringLiteral("Name") : QStringLiteral("Phoneno");
    }

private:
    // A few screens' worth, read in one query.
    static constexpr std::size_t page_size = 256;

    const AddressRow *at(std::size_t row) const {
        if (row < page_first_ || row >= page_first_ + page_.size()) {
            page_first_ = row - row % page_size;
            try {
                page_ = store_->listed_rows(page_first_, page_size);
            } catch (const StoreError &) {
                page_.clear();
            }
        }
        if (row < page_first_ || row >= page_first_ + page_.size()) return nullptr;
        return &page_[row - page_first_];
    }

    AddressStore *store_ = nullptr;
    std::size_t count_ = 0;
    mutable std::vector<AddressRow> page_;
    mutable std::size_t page_first_ = 0;
};

AddressGrid::AddressGrid(Grid &model, AddressStore *store, QWidget *parent)
    : QTableView(parent), model_(model), store_(store), rows_(new AddressRows(this)) {
    setObjectName(QString::fromStdString(model.name()));
    setModel(rows_);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    verticalHeader()->setVisible(false);
    // Every row as tall as the font's line: the view never measures rows
    // it does not show.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAlternatingRowColors(true);
    // A click chooses its row, the current one included; the keys choose
    // the row they move to.
    connect(this, &QTableView::clicked, this, [this](const QModelIndex &index) { row_chosen(index.row()); });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                if (!reloading_ && !mouse_down_ && current.isValid() && current.row() != previous.row())
                    row_chosen(current.row());
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
    rows_->relist(store_);
    std::optional<std::size_t> current;
    try {
        if (store_) current = store_->current_index();
    } catch (const StoreError &) {
        current.reset();
    }
    if (current && *current < static_cast<std::size_t>(rows_->rowCount()))
        setCurrentIndex(rows_->index(static_cast<int>(*current), 0));
    reloading_ = false;
}

void AddressGrid::mousePressEvent(QMouseEvent *event) {
    mouse_down_ = true;
    QTableView::mousePressEvent(event);
    mouse_down_ = false;
}

void AddressGrid::row_chosen(int row) {
    call_core([this, row] { model_.select_row(static_cast<std::size_t>(row)); });
}

} // namespace quillon
