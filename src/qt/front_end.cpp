// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/front_end.h"

#include "app/program.h"
#include "qt/qt_dialogs.h"
#include "qt/status_bar_view.h"

namespace quillon {

namespace {

QString images_dir(const Program &program) {
    return QString::fromStdString(program.files.program_file("images"));
}

} // namespace

FrontEnd::FrontEnd(Program &program, QtDialogs *dialogs)
    : main(program.frmmain, program.dataaddress.get(), images_dir(program)), help(program.frmhelp),
      convert(program.frmconvert), notifier(main, images_dir(program) + QStringLiteral("/quillon.png")),
      history(program.frmhistory, program.history_window), conversation(program.frmconversation),
      program_(program) {
    main.add_status_bar(new StatusBarView(program.status));
    MainForm &f = program.frmmain;
    program.notices.set_notifier(&notifier);
    f.on_popup_menu = [this] { main.popup_menu(); };
    if (dialogs) dialogs->set_parent(&main);
}

FrontEnd::~FrontEnd() {
    program_.frmmain.on_popup_menu = nullptr;
    program_.notices.set_notifier(nullptr);
}

} // namespace quillon
