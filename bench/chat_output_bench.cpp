// A megabyte of chat in 64-character pieces through the communications
// handler and the Qt output box. Each update must cost the same at the end
// of the conversation as at its start: the box only grows at its end.
#include "qt/front_end.h"
#include "support/connected_program.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The summed cost of a run of updates: the handler (with the box's insert)
// and the window's own work afterwards (layout, painting).
struct Costs {
    double handler = 0;
    double window = 0;
    void print(const char* what, std::size_t updates) const {
        std::printf("  %-6s %5zu updates: %7.1f us each (handler and insert %6.1f, layout and paint %6.1f)\n", what,
                    updates, (handler + window) / updates * 1e6, handler / updates * 1e6,
                    window / updates * 1e6);
    }
};

} // namespace

int main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    quillon::testing::ConnectedProgram program;
    quillon::FrontEnd windows(program.p(), nullptr);
    windows.main.show();
    QCoreApplication::processEvents();

    constexpr std::size_t total = 1 << 20, piece = 64, sample = 1000;
    constexpr std::size_t updates = total / piece;
    std::string text(piece - 2, 'x');
    text += "\r\n";
    Costs first, last;
    for (std::size_t i = 0; i < updates; ++i) {
        Costs &costs = i < sample ? first : last;
        bool measured = i < sample || i >= updates - sample;
        auto start = Clock::now();
        program.line().arrive(text);
        program.time.run_due();
        double handled = seconds_since(start);
        start = Clock::now();
        QCoreApplication::processEvents();
        if (measured) {
            costs.handler += handled;
            costs.window += seconds_since(start);
        }
    }

    auto *box = windows.main.findChild<QPlainTextEdit *>(QStringLiteral("txtreceived"));
    if (program.w().txtreceived.text().size() != total || !box || box->blockCount() != int(updates) + 1) {
        std::printf("the output box lost text\n");
        return 1;
    }
    std::printf("1 MB of chat in %zu updates of %zu characters\n", updates, piece);
    first.print("first", sample);
    last.print("last", sample);
    std::printf("  last / first: %.2f\n", (last.handler + last.window) / (first.handler + first.window));
    return 0;
}
