// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/call_history_view.h"

#include "qt/core_guard.h"
#include "session/call_history_form.h"
#include "session/call_history_window.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quillon {

CallHistoryView::CallHistoryView(CallHistoryForm &form, const CallHistoryWindow &window)
    : form_(form), window_(window) {
    setObjectName(QString::fromStdString(form.name()));
    setWindowTitle(QString::fromStdString(form.caption()));

    table_ = new QTableWidget(0, 7, this);
    table_->setObjectName(QString::fromStdString(form.grdcalls.name()));
    table_->setHorizontalHeaderLabels({QStringLiteral("Start"), QStringLiteral("Name"), QStringLiteral("Number"),
                                       QStringLiteral("Result"), QStringLiteral("Duration"), QStringLiteral("Sent"),
                                       QStringLiteral("Received")});
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setVisible(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setAlternatingRowColors(true);
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row, int, int, int) {
        if (reloading_ || row < 0) return;
        call_core([this, row] { form_.grdcalls.select_row(static_cast<std::size_t>(row)); });
    });
    bindings_.bind(form.grdcalls, [this] { reload(); });

    auto *dial = new QPushButton(this);
    dial->setObjectName(QString::fromStdString(form.cmdhistorydial.name()));
    connect(dial, &QPushButton::clicked, this, [this] { call_core([this] { form_.cmdhistorydial.click(); }); });
    auto show_dial = [dial, &form] {
        show_common(*dial, form.cmdhistorydial);
        dial->setText(QString::fromStdString(form.cmdhistorydial.caption()));
    };
    bindings_.bind(form.cmdhistorydial, show_dial);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(table_, 1);
    layout->addWidget(dial, 0, Qt::AlignRight);

    bindings_.bind(form, [this] { show_window(*this, form_); });
    form.attach_all(&bindings_);
    resize(720, 360);
    bindings_.refresh_all();
}

CallHistoryView::~CallHistoryView() {
    form_.attach_all(nullptr);
}

void CallHistoryView::reload() {
    reloading_ = true;
    const auto &lines = window_.lines();
    table_->clearContents();
    table_->setRowCount(static_cast<int>(lines.size()));
    for (int r = 0; r < table_->rowCount(); ++r) {
        const HistoryLine &l = lines[static_cast<std::size_t>(r)];
        int c = 0;
        for (const std::string *cell : {&l.start, &l.name, &l.number, &l.result, &l.duration, &l.sent, &l.received})
            table_->setItem(r, c++, new QTableWidgetItem(QString::fromStdString(*cell)));
    }
    table_->resizeColumnsToContents();
    reloading_ = false;
}

void CallHistoryView::closeEvent(QCloseEvent *event) {
    close_window(form_, *event);
}

} // namespace quillon
