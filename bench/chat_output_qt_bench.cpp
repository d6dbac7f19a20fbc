// A long conversation through the communications handler and the Qt output
// box: the time per update must not grow with what is already shown.
#include "qt/front_end.h"
#include "support/connected_program.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    quillon::testing::ConnectedProgram program;
    quillon::FrontEnd windows(program.p(), nullptr);
    windows.main.show();

    constexpr std::size_t total = 1 << 20, piece = 64, sample = 1000;
    const std::size_t updates = total / piece;
    std::string text(piece, 'x');
    text.back() = '\n';
    double first = 0, last = 0;
    for (std::size_t i = 0; i < updates; ++i) {
        auto start = std::chrono::steady_clock::now();
        program.line().arrive(text);
        program.time.run_due();
        QCoreApplication::processEvents();
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (i < sample) first += seconds;
        if (i >= updates - sample) last += seconds;
    }
    if (program.w().txtreceived.text().size() != total) {
        std::printf("the output box lost text\n");
        return 1;
    }
    std::printf("1 MB of chat in %zu updates of %zu characters\n", updates, piece);
    std::printf("  first %zu updates: %.1f us each\n", sample, first / sample * 1e6);
    std::printf("  last  %zu updates: %.1f us each (%.2f times the first)\n", sample, last / sample * 1e6,
                last / first);
    return 0;
}
