// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/sqlite_address_store.h"
#include "app/command_line.h"
#include "app/program.h"
#include "cli/unattended_run.h"
#include "modem/device_opener.h"
#include "qt/core_guard.h"
#include "qt/front_end.h"
#include "qt/qt_dialogs.h"
#include "qt/qt_event_loop.h"
#include "qt/qt_media.h"
#include "qt/signal_closer.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <csignal>
#include <cstdlib>
#include <memory>

int main(int argc, char **argv) {
    using namespace quillon;
    // Answered without a display, so before Qt wants one.
    CommandLine command_line = read_command_line(argc, argv, stdout, stderr);
    if (command_line.status) return *command_line.status;
    if (command_line.unattended) return run_unattended(*command_line.unattended);
    // On X, windows are drawn through the connection, not shared memory:
    // Qt waits for the server's word on every shared picture, which wakes
    // two threads at each redraw (three wake-ups a second in a quiet call,
    // for the online time alone). A chat window's redraws are a few rows.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    // The program ends only through its main window's unload.
    QApplication::setQuitOnLastWindowClosed(false);

    QtEventLoop loop;
    QtDialogs dialogs;
    QtMedia media;
    std::unique_ptr<Program> program;
    call_core([&] {
        const std::string program_dir = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
        program = std::make_unique<Program>(
            Platform{loop, dialogs, media, make_device_opener(loop), [] { return make_sqlite_address_store(); },
                     FileLocations::choose(program_dir, user_folders(std::getenv)), "/dev"});
    });
    if (!program) return 1;

    FrontEnd windows(*program, &dialogs);
    windows.main.show();
    SignalCloser closer({SIGTERM, SIGINT, SIGHUP}, [&] { call_core([&] { program->frmmain.close(); }); });
    // The load may show boxes, so it runs once the event loop does.
    QTimer::singleShot(0, &windows.main, [&] { call_core([&] { program->main_window.Form_Load(); }); });
    return app.exec();
}
