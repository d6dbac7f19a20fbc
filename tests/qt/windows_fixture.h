// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "qt/front_end.h"
#include "support/program_fixture.h"

#include <QPlainTextEdit>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace quillon::testing {

// A started program core on port 1 in virtual time, with its windows on
// the offscreen platform. With pictures, the generated images are copied
// into its program directory first.
struct WindowsFixture : ProgramFixture {
    enum class Pictures { none, generated };
    explicit WindowsFixture(Pictures pictures = Pictures::none);

    template <typename T> T *widget(const char *name, QWidget *in = nullptr) {
        QWidget *root = in ? in : &front->main;
        T *w = root->findChild<T *>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << name;
        return w;
    }
    MainForm &w() { return p().frmmain; }
    // The input line, with the keyboard's focus.
    QPlainTextEdit *focused_input();

    std::unique_ptr<FrontEnd> front;
};

} // namespace quillon::testing
