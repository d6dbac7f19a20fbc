// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/output_box.h"

#include "base/form.h"
#include "qt/control_binding.h"
#include "qt/quiet_scroll_bar.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace quillon {

namespace {

constexpr int margin = 4;
constexpr int tab_columns = 8;
// Arrivals are painted with an arrival at most this often: five times a
// second, which keeps up with a reader while chat streams in; most of what
// a paint costs is the same however much it shows.
constexpr int frame_ms = 200;
// While each frame's text fills the whole box, nobody reads a frame before
// the next replaces it: frames then come twice a second.
constexpr int flood_frame_ms = 500;
// An arrival that no other follows within this long is painted then.
constexpr int quiet_ms = 100;

// FNV-1a, grown with the text, to tell the same text set again from a new one.
constexpr std::uint64_t hash_start = 14695981039346656037ull;
std::uint64_t hash_more(std::uint64_t hash, std::string_view bytes) {
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

OutputBox::OutputBox(TextBox &model, QWidget *parent) : QAbstractScrollArea(parent), model_(model) {
    setObjectName(QString::fromStdString(model.name()));
    setVerticalScrollBar(new QuietScrollBar(Qt::Vertical, this));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::ClickFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    verticalScrollBar()->setSingleStep(1);
    measure_font();
    frame_.setSingleShot(true);
    since_frame_.start();
    connect(&frame_, &QTimer::timeout, this, [this] { paint_arrivals(); });
    show_common(*this, model_);
    replace_all();
}

void OutputBox::refresh() {
    show_common(*this, model_);
    if (model_.revision() == shown_revision_) return;
    std::string_view text = model_.text();
    if (text.size() >= shown_size_ && hash_more(hash_start, text.substr(0, shown_size_)) == shown_hash_) {
        // What is shown is still there: the rest is new at the end.
        append(text.substr(shown_size_));
        return;
    }
    replace_all();
}

void OutputBox::append(std::string_view more) {
    if (model_.text().size() != shown_size_ + more.size()) {
        // Not the growth this box has seen; show the model as it is.
        replace_all();
        return;
    }
    shown_revision_ = model_.revision();
    // The same text set again (the 5-second check's notice) draws nothing.
    if (more.empty()) return;
    if (!frame_pending_) {
        // The frame's first arrival: where its changes begin.
        frame_pending_ = true;
        changed_row_ = rows_.count() - 1;
        changed_at_ = shown_size_;
    }
    shown_size_ += more.size();
    shown_hash_ = hash_more(shown_hash_, more);
    rows_.lay_out(shown(), laid_out_width_, [this](char32_t c, double x) { return char_width(c, x); });
    // An arrival a frame after the last paint is painted with those before
    // it, in the wake-up that brought it; one sooner waits for the next
    // such arrival, or for a quiet spell, so a stream wakes nothing more.
    if (since_frame_.elapsed() >= (flooded_ ? flood_frame_ms : frame_ms))
        paint_arrivals();
    else
        frame_.start(quiet_ms);
}

// The frame's arrivals on screen: the scroll bar hears of them once, what
// scrolled is moved, not drawn again, and only the rows from the first one
// that changed are drawn.
void OutputBox::paint_arrivals() {
    frame_.stop();
    frame_pending_ = false;
    since_frame_.start();
    QScrollBar *bar = verticalScrollBar();
    bool at_bottom = bar->value() == bar->maximum();
    arriving_ = true;
    update_scroll_range();
    if (at_bottom) bar->setValue(bar->maximum());
    arriving_ = false;
    int top = bar->value(), height = row_height(), width = viewport()->width();
    int moved = top - painted_top_;
    int rows_in_view = viewport()->height() / height + 1;
    // The row in view where the frame's text begins; at or above the top,
    // the frame's text fills every row in view.
    long first = static_cast<long>(changed_row_) - top;
    flooded_ = first < 0 || (first == 0 && changed_at_ <= rows_.start(changed_row_));
    if (std::abs(moved) >= rows_in_view) return paint_all();
    painted_top_ = top;
    if (moved != 0) viewport()->scroll(0, -moved * height, QRect(0, margin, width, viewport()->height() - margin));
    // The row where the frame's text begins is drawn from there on (a word
    // wrapped away from it leaves from no further left), the rows after it
    // whole.
    if (first >= rows_in_view) return;
    int y = margin + static_cast<int>(std::max(0L, first + 1)) * height;
    QRegion changed(0, y, width, viewport()->height() - y);
    if (first >= 0) {
        int left = std::max(0, margin + static_cast<int>(x_before(changed_row_, changed_at_)) - ink_overhang());
        changed += QRect(left, y - height, width - left, height);
    }
    viewport()->update(changed);
}

// Where in its row the character that holds byte `at` (or the row's end) begins.
double OutputBox::x_before(std::size_t row, std::size_t at) {
    std::string_view text = shown();
    double x = 0;
    for (std::size_t pos = rows_.start(row), end = std::min(at, row_end_shown(row)); pos < end;) {
        ShownChar c = shown_char_at(text, pos);
        if (c.kind == ShownChar::unfinished || c.kind == ShownChar::line_break || pos + c.length > end) break;
        if (c.kind == ShownChar::glyph) x += char_width(c.code, x);
        pos += c.length;
    }
    return x;
}

// How far a glyph may draw outside its own advance: a whole row's height,
// which no font's overhang reaches.
int OutputBox::ink_overhang() const {
    return row_height();
}

void OutputBox::paint_all() {
    frame_.stop();
    frame_pending_ = false;
    painted_top_ = verticalScrollBar()->value();
    viewport()->update();
}

void OutputBox::scrollContentsBy(int, int) {
    // An arrival's scrolling waits for its frame.
    if (!arriving_) paint_all();
}

void OutputBox::replace_all() {
    shown_revision_ = model_.revision();
    shown_size_ = model_.text().size();
    shown_hash_ = hash_more(hash_start, model_.text());
    anchor_ = cursor_ = 0;
    shaped_.clear();
    lay_out_all();
    verticalScrollBar()->setValue(0);
    paint_all();
}

void OutputBox::lay_out_all() {
    std::size_t first_shown = rows_.start(static_cast<std::size_t>(verticalScrollBar()->value()));
    QScrollBar *bar = verticalScrollBar();
    bool at_bottom = bar->value() == bar->maximum();
    laid_out_width_ = text_width();
    shaped_.clear();
    rows_.clear();
    rows_.lay_out(shown(), laid_out_width_, [this](char32_t c, double x) { return char_width(c, x); });
    update_scroll_range();
    bar->setValue(at_bottom ? bar->maximum() : static_cast<int>(rows_.row_of(first_shown)));
}

void OutputBox::update_scroll_range() {
    int visible = std::max(1, (viewport()->height() - 2 * margin) / row_height());
    QScrollBar *bar = verticalScrollBar();
    bar->setPageStep(visible);
    bar->setRange(0, std::max(0, static_cast<int>(rows_.count()) - visible));
}

double OutputBox::char_width(char32_t code, double x) {
    if (code == U'\t') {
        double stop = tab_columns * char_width(U' ', 0);
        return (std::floor(x / stop) + 1) * stop - x;
    }
    double *width = code < narrow_widths_.size() ? &narrow_widths_[code] : nullptr;
    if (width && *width >= 0) return *width;
    auto known = widths_.constFind(code);
    if (known != widths_.constEnd()) return *known;
    double measured = QFontMetricsF(font()).horizontalAdvance(QString::fromUcs4(&code, 1));
    if (width)
        *width = measured;
    else
        widths_.insert(code, measured);
    return measured;
}

double OutputBox::text_width() const {
    return std::max(40, viewport()->width() - 2 * margin);
}

void OutputBox::measure_font() {
    row_height_ = std::max(1, fontMetrics().lineSpacing());
    baseline_ = QFontMetricsF(font()).ascent();
    narrow_widths_.fill(-1);
    narrow_glyphs_.fill(unknown_glyph);
    widths_.clear();
    glyphs_.clear();
    raw_font_ = QRawFont();
}

std::string_view OutputBox::shown() const {
    return std::string_view(model_.text()).substr(0, shown_size_);
}

std::size_t OutputBox::row_end_shown(std::size_t row) const {
    return rows_.end(row, shown_size_);
}

QString OutputBox::row_text(std::size_t row) const {
    QString text = shown_string(shown(), rows_.start(row), row_end_shown(row));
    if (text.endsWith(QChar(u'\n'))) text.chop(1);
    return text;
}

std::vector<OutputBox::Run> OutputBox::runs(std::size_t row) {
    std::string_view text = shown();
    std::size_t from = std::min(anchor_, cursor_), to = std::max(anchor_, cursor_);
    std::vector<Run> out;
    double x = 0;
    for (std::size_t at = rows_.start(row), end = row_end_shown(row); at < end;) {
        ShownChar c = shown_char_at(text, at);
        if (c.kind == ShownChar::unfinished || c.kind == ShownChar::line_break) break;
        bool selected = at >= from && at < to;
        at += c.length;
        if (c.kind == ShownChar::nothing) continue;
        double width = char_width(c.code, x);
        bool tab = c.code == U'\t';
        if (out.empty() || out.back().selected != selected || tab || out.back().tab) {
            out.push_back({x, 0, at - c.length, at, selected, tab, true, {}, {}, 0});
            out.back().glyphs.reserve(static_cast<qsizetype>(end - at + 1));
            out.back().positions.reserve(static_cast<qsizetype>(end - at + 1));
        }
        Run &run = out.back();
        run.end = at;
        quint32 glyph = c.code < 0x10000 ? plain_glyph(c.code) : 0;
        if (glyph == 0) {
            run.plain = false;
            run.glyphs.clear();
            run.positions.clear();
        } else if (run.plain) {
            run.glyphs.push_back(glyph);
            run.positions.push_back(QPointF(x - run.x, baseline_));
        }
        run.width += width;
        x += width;
    }
    return out;
}

// The font's own glyph for a character drawn by itself, or 0 where it needs
// shaping or another font.
quint32 OutputBox::plain_glyph(char32_t code) {
    quint32 *narrow = code < narrow_glyphs_.size() ? &narrow_glyphs_[code] : nullptr;
    if (narrow && *narrow != unknown_glyph) return *narrow;
    auto known = glyphs_.constFind(code);
    if (known != glyphs_.constEnd()) return *known;
    quint32 glyph = 0;
    // Below the combining marks, letters are drawn one by one as they are.
    if (code < 0x300 && code != U'\t') {
        if (!raw_font_.isValid()) raw_font_ = QRawFont::fromFont(font());
        QList<quint32> found = raw_font_.glyphIndexesForString(QString::fromUcs4(&code, 1));
        if (found.size() == 1) glyph = found.front();
    }
    if (narrow)
        *narrow = glyph;
    else
        glyphs_.insert(code, glyph);
    return glyph;
}

// The glyphs of a run that end at x or further right.
QGlyphRun OutputBox::glyphs_from(const QGlyphRun &glyphs, double x) {
    const QList<QPointF> positions = glyphs.positions();
    // Each glyph ends where the next begins.
    auto next = std::lower_bound(positions.begin() + 1, positions.end(), x,
                                 [](const QPointF &p, double x) { return p.x() < x; });
    qsizetype skipped = next - positions.begin() - 1;
    if (skipped <= 0) return glyphs;
    QGlyphRun part = glyphs;
    part.setGlyphIndexes(glyphs.glyphIndexes().mid(skipped));
    part.setPositions(positions.mid(skipped));
    return part;
}

const OutputBox::ShapedRow &OutputBox::shaped_row(std::size_t row) {
    std::size_t start = rows_.start(row), end = row_end_shown(row);
    std::size_t from = std::clamp(std::min(anchor_, cursor_), start, end);
    std::size_t to = std::clamp(std::max(anchor_, cursor_), start, end);
    auto known = shaped_.constFind(row);
    if (known != shaped_.constEnd() && known->start == start && known->end == end && known->selected_from == from &&
        known->selected_to == to)
        return *known;
    ShapedRow shaped{start, end, from, to, runs(row), {}, {}};
    for (Run &run : shaped.runs) {
        // A run drawn glyph by glyph where the row's own widths put them,
        // when none of its characters needs shaping.
        if (run.plain) {
            run.drawn = shaped.plain.size();
            shaped.plain.emplace_back();
            shaped.plain.back().setRawFont(raw_font_);
            shaped.plain.back().setGlyphIndexes(std::move(run.glyphs));
            shaped.plain.back().setPositions(std::move(run.positions));
            continue;
        }
        run.drawn = shaped.shaped.size();
        QStaticText text(shown_string(shown(), run.start, run.end));
        text.setTextFormat(Qt::PlainText);
        text.prepare(QTransform(), font());
        shaped.shaped.push_back(std::move(text));
    }
    return *shaped_.insert(row, std::move(shaped));
}

void OutputBox::paintEvent(QPaintEvent *event) {
    if (verticalScrollBar()->value() != painted_top_) {
        // Scrolled by an arrival whose frame has not come: all of it, now.
        if (event->rect() != viewport()->rect()) paint_all();
        painted_top_ = verticalScrollBar()->value();
    }
    QPainter painter(viewport());
    const QPalette &colours = palette();
    int height = row_height(), width = viewport()->width();
    auto top = static_cast<std::size_t>(painted_top_);
    std::size_t in_view = static_cast<std::size_t>(viewport()->height() / height) + 1;
    std::size_t first = top + static_cast<std::size_t>(std::max(0, event->rect().top() - margin) / height);
    int y = margin + static_cast<int>(first - top) * height;
    for (std::size_t row = first; row < rows_.count() && y <= event->rect().bottom(); ++row, y += height) {
        QRect band = event->region().intersected(QRect(0, y, width, height)).boundingRect();
        if (band.isEmpty()) continue;
        // Glyphs wholly left of what is drawn again are left as they are.
        double from = band.left() - ink_overhang() - margin;
        const ShapedRow &shaped = shaped_row(row);
        for (const Run &run : shaped.runs) {
            if (run.x + run.width < from) continue;
            if (run.selected) painter.fillRect(QRectF(margin + run.x, y, run.width, height), colours.highlight());
            if (run.tab) continue;
            painter.setPen(colours.color(run.selected ? QPalette::HighlightedText : QPalette::Text));
            if (run.plain)
                painter.drawGlyphRun(QPointF(margin + run.x, y), glyphs_from(shaped.plain[run.drawn], from - run.x));
            else
                painter.drawStaticText(QPointF(margin + run.x, y), shaped.shaped[run.drawn]);
        }
    }
    // Rows out of view keep no shapes.
    for (auto it = shaped_.begin(); it != shaped_.end();)
        it = it.key() < top || it.key() >= top + in_view ? shaped_.erase(it) : std::next(it);
}

void OutputBox::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    if (text_width() != laid_out_width_)
        lay_out_all();
    else
        update_scroll_range();
}

void OutputBox::changeEvent(QEvent *event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        measure_font();
        lay_out_all();
        paint_all();
    }
}

QString OutputBox::shown_text() const {
    return shown_string(shown(), 0, shown_size_);
}

QString OutputBox::selected_text() const {
    return shown_string(shown(), std::min(anchor_, cursor_), std::max(anchor_, cursor_));
}

void OutputBox::select_all() {
    anchor_ = 0;
    cursor_ = shown_size_;
    paint_all();
}

void OutputBox::copy() const {
    if (has_selection()) QApplication::clipboard()->setText(selected_text());
}

std::size_t OutputBox::offset_at(QPoint point) {
    int height = row_height();
    long row = verticalScrollBar()->value() + static_cast<long>(std::floor(double(point.y() - margin) / height));
    if (row < 0) return 0;
    if (static_cast<std::size_t>(row) >= rows_.count()) return shown_size_;
    std::string_view text = shown();
    double x = 0, wanted = point.x() - margin;
    std::size_t at = rows_.start(static_cast<std::size_t>(row)), end = row_end_shown(static_cast<std::size_t>(row));
    while (at < end) {
        ShownChar c = shown_char_at(text, at);
        if (c.kind == ShownChar::unfinished || c.kind == ShownChar::line_break) break;
        double width = c.kind == ShownChar::glyph ? char_width(c.code, x) : 0;
        if (c.kind == ShownChar::glyph && wanted < x + width / 2) break;
        x += width;
        at += c.length;
    }
    return at;
}

void OutputBox::keyPressEvent(QKeyEvent *event) {
    QScrollBar *bar = verticalScrollBar();
    if (event->matches(QKeySequence::Copy))
        copy();
    else if (event->matches(QKeySequence::SelectAll))
        select_all();
    else if (event->matches(QKeySequence::MoveToStartOfDocument))
        bar->setValue(bar->minimum());
    else if (event->matches(QKeySequence::MoveToEndOfDocument))
        bar->setValue(bar->maximum());
    else
        QAbstractScrollArea::keyPressEvent(event);
}

void OutputBox::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) return;
    cursor_ = offset_at(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier)) anchor_ = cursor_;
    selecting_ = true;
    paint_all();
}

void OutputBox::mouseMoveEvent(QMouseEvent *event) {
    if (!selecting_) return;
    QPoint point = event->position().toPoint();
    // Dragging past an edge scrolls that way.
    QScrollBar *bar = verticalScrollBar();
    if (point.y() < 0)
        bar->setValue(bar->value() - 1);
    else if (point.y() > viewport()->height())
        bar->setValue(bar->value() + 1);
    cursor_ = offset_at(point);
    paint_all();
}

void OutputBox::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton || !selecting_) return;
    selecting_ = false;
    QClipboard *clipboard = QApplication::clipboard();
    if (has_selection() && clipboard->supportsSelection()) clipboard->setText(selected_text(), QClipboard::Selection);
}

void OutputBox::contextMenuEvent(QContextMenuEvent *event) {
    QMenu menu(this);
    QAction *copy_action = menu.addAction(tr("&Copy"), this, [this] { copy(); });
    copy_action->setShortcut(QKeySequence::Copy);
    copy_action->setEnabled(has_selection());
    menu.addSeparator();
    QAction *all = menu.addAction(tr("Select All"), this, [this] { select_all(); });
    all->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}

} // namespace quillon
