// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/qt_dialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <QWidget>

namespace quillon {

namespace {

const QString caption = QStringLiteral("Quillon");

QMessageBox::Icon qt_icon(Icon icon) {
    switch (icon) {
    case Icon::stop:
        return QMessageBox::Critical;
    case Icon::information:
        return QMessageBox::Information;
    case Icon::question:
        return QMessageBox::Question;
    case Icon::none:
        break;
    }
    return QMessageBox::NoIcon;
}

int run_box(QWidget *parent, const std::string &text, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, QString::fromStdString(text), buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

std::optional<std::string> chosen(const QString &path) {
    if (path.isEmpty()) return std::nullopt;
    return QFile::encodeName(path).toStdString();
}

} // namespace

QString qt_file_filter(const std::string &filter) {
    if (filter.empty()) return {};
    QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        QString patterns = i + 1 < parts.size() ? parts[i + 1].trimmed() : QStringLiteral("*");
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns.isEmpty()) patterns = QStringLiteral("*");
        QString suffix = QStringLiteral("(") + patterns + QStringLiteral(")");
        // "Text (*.txt)|*.txt" already names its pattern.
        out << (description.endsWith(suffix) ? description : (description + QLatin1Char(' ') + suffix).trimmed());
    }
    return out.join(QStringLiteral(";;"));
}

QWidget *QtDialogs::owner() const {
    return parent_ && parent_->isEnabled() ? parent_ : nullptr;
}

void QtDialogs::message(const std::string &text, Icon icon) {
    run_box(owner(), text, qt_icon(icon), QMessageBox::Ok);
}

bool QtDialogs::ask_yes_no(const std::string &text) {
    return run_box(owner(), text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::string QtDialogs::input_box(const std::string &prompt, const std::string &box_caption,
                                 const std::string &default_text) {
    bool ok = false;
    QString answer = QInputDialog::getText(owner(), QString::fromStdString(box_caption), QString::fromStdString(prompt),
                                           QLineEdit::Normal, QString::fromStdString(default_text), &ok);
    return ok ? answer.toStdString() : std::string();
}

std::optional<std::string> QtDialogs::open_file(const std::string &filter, const std::string &file_name) {
    return chosen(QFileDialog::getOpenFileName(owner(), QStringLiteral("Open"), QFile::decodeName(file_name.c_str()),
                                               qt_file_filter(filter)));
}

std::vector<std::string> QtDialogs::open_files(const std::string &filter) {
    std::vector<std::string> names;
    for (const QString &name : QFileDialog::getOpenFileNames(owner(), QStringLiteral("Open"), QString(),
                                                            qt_file_filter(filter)))
        names.push_back(QFile::encodeName(name).toStdString());
    return names;
}

std::optional<std::string> QtDialogs::save_file(const std::string &filter, const std::string &file_name) {
    return chosen(QFileDialog::getSaveFileName(owner(), QStringLiteral("Save As"), QFile::decodeName(file_name.c_str()),
                                               qt_file_filter(filter)));
}

} // namespace quillon
