// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/output_box.h"
#include "windows_fixture.h"

#include <QElapsedTimer>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <functional>
#include <string>

namespace quillon::testing {
namespace {

struct OutputBoxFixture : WindowsFixture {
    OutputBoxFixture() {
        box = widget<OutputBox>("txtreceived");
        front->main.resize(640, 480);
        front->main.show();
        w().txtreceived.set_text("");
    }
    // Every row shown, joined, against the text laid out whole.
    QString rows_joined() const {
        QString out;
        for (std::size_t r = 0; r < box->row_count(); ++r)
            out += box->row_text(r) + u'|';
        return out;
    }
    // What the window shows of a widget is what drawing it whole now gives.
    bool shows_as_now(QWidget *widget) const {
        QPoint at = widget->mapTo(&front->main, QPoint(0, 0));
        QImage screen = front->main.screen()
                            ->grabWindow(front->main.winId(), at.x(), at.y(), widget->width(), widget->height())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
        return screen == widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    OutputBox *box = nullptr;
};

TEST(OutputBox, ShowsTheModelsBytesAsTheyGrowAndAStatusLineReplacesThem) {
    OutputBoxFixture t;
    t.w().txtreceived.set_text("line one\r\nline two");
    EXPECT_EQ(t.box->shown_text(), "line one\nline two");
    // A CR LF pair and a UTF-8 sequence cut between two arrivals; a broken
    // sequence and control characters show as symbols, never act.
    for (const char *piece : {"\r", "\nthree \xC3", "\xA9t\xC3\xA9", "\x07", "\xFF\x7F\r\r\n"})
        t.w().txtreceived.append(piece);
    EXPECT_EQ(t.box->shown_text(), QString::fromUtf8("line one\nline two\nthree \u00e9t\u00e9\u2407\ufffd\u2421\n\n"));
    EXPECT_EQ(t.box->row_count(), 5u);

    t.w().txtreceived.set_text("Modem ready...");
    EXPECT_EQ(t.box->shown_text(), "Modem ready...");
    EXPECT_EQ(t.box->row_count(), 1u);
}

TEST(OutputBox, ALongLineWrapsInsideTheBoxTheSameWhetherItCameInPiecesOrWhole) {
    OutputBoxFixture t;
    std::string chat;
    for (int i = 0; i < 300; ++i)
        chat += (i % 7 == 0 ? "word\t" : "") + std::string(i % 23, 'x') + " \xC3\xA9";
    for (std::size_t at = 0; at < chat.size(); at += 5)
        t.w().txtreceived.append(chat.substr(at, 5));
    QString pieces = t.rows_joined();
    EXPECT_GT(t.box->row_count(), 20u) << "the line wraps";
    for (std::size_t r = 0; r < t.box->row_count(); ++r) {
        QString row = t.box->row_text(r);
        EXPECT_LE(t.box->fontMetrics().horizontalAdvance(row.trimmed().replace(u'\t', u' ')),
                  t.box->viewport()->width())
            << "row " << r;
    }
    t.w().txtreceived.set_text(chat);
    EXPECT_EQ(t.rows_joined(), pieces);
    EXPECT_EQ(t.box->shown_text(), QString::fromUtf8(chat));
}

TEST(OutputBox, FollowsTheEndUnlessTheUserScrolledBack) {
    OutputBoxFixture t;
    std::string lines;
    for (int i = 0; i < 200; ++i)
        lines += "line " + std::to_string(i) + "\r\n";
    // The scroll bar hears of arrivals with their frame.
    auto arrive = [&](const std::string &text) {
        t.w().txtreceived.append(text);
        QTest::qWait(150);
    };
    arrive(lines);
    QScrollBar *bar = t.box->verticalScrollBar();
    bar->setValue(bar->maximum());
    arrive("one more\r\n");
    EXPECT_EQ(bar->value(), bar->maximum()) << "at the end, it stays at the end";
    EXPECT_TRUE(t.shows_as_now(bar)) << "the handle shows where the rows are";
    for (int click = 0; click < 3; ++click)
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 2));
    QTest::qWait(20);
    EXPECT_TRUE(t.shows_as_now(bar)) << "scrolled by its arrow, the handle moved with the rows";
    bar->setValue(10);
    arrive("and another\r\n");
    EXPECT_EQ(bar->value(), 10) << "reading back, the view stays put";
    t.w().txtreceived.set_text("Modem ready...");
    EXPECT_EQ(bar->value(), 0);
}

struct PaintCounter : QObject {
    bool eventFilter(QObject *, QEvent *event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
};

// The box's paints while arrive() runs and until a quarter second after,
// once what came before has been painted; and how long arrive() took.
struct Painted {
    int paints;
    qint64 arrived_in_ms;
};
Painted paints_while(OutputBox &box, const std::function<void()> &arrive) {
    QTest::qWait(250);
    PaintCounter counter;
    box.viewport()->installEventFilter(&counter);
    QElapsedTimer arriving;
    arriving.start();
    arrive();
    qint64 arrived_in = arriving.elapsed();
    QTest::qWait(250);
    return {counter.paints, arrived_in};
}

TEST(OutputBox, ArrivalsInsideOneDisplayFrameArePaintedOnceAsAWholeRepaintWouldShowThem) {
    OutputBoxFixture t;
    for (int i = 0; i < 100; ++i)
        t.w().txtreceived.append("line " + std::to_string(i) + "\r\n");
    Painted painted = paints_while(*t.box, [&] {
        for (int i = 0; i < 20; ++i) {
            t.w().txtreceived.append("piece " + std::to_string(i) + (i % 3 ? " and more" : "\r\n"));
            QCoreApplication::processEvents();
        }
    });
    // The first shows at once, the rest together when they stop (or with an
    // arrival a fifth of a second on): never a paint each.
    EXPECT_GE(painted.paints, 1);
    EXPECT_LE(painted.paints, 2 + painted.arrived_in_ms / 200) << "at most one paint a display frame";

    // The rows scrolled and the rows painted make what a whole repaint makes.
    EXPECT_TRUE(t.shows_as_now(t.box->viewport())) << "what the user sees is the text as it stands";
}

TEST(OutputBox, AFloodThatFillsTheBoxEveryFrameIsPaintedTwiceASecondAndWholeWhenItStops) {
    OutputBoxFixture t;
    std::string screenful;
    for (int i = 0; i < 60; ++i)
        screenful += "flood line " + std::to_string(i) + "\r\n";
    Painted painted = paints_while(*t.box, [&] {
        for (int i = 0; i < 30; ++i) {
            t.w().txtreceived.append(screenful);
            QTest::qWait(50);
        }
    });
    EXPECT_LE(painted.paints, 2 + painted.arrived_in_ms / 500) << "no screen nobody could read is painted";
    EXPECT_TRUE(t.shows_as_now(t.box->viewport())) << "when it stops, the box shows the text as it stands";
    EXPECT_EQ(t.box->row_text(t.box->row_count() - 2), "flood line 59");
}

} // namespace
} // namespace quillon::testing
