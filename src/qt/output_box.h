// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "qt/output_rows.h"

#include <QAbstractScrollArea>
#include <QGlyphRun>
#include <QElapsedTimer>
#include <QHash>
#include <QRawFont>
#include <QStaticText>
#include <QTimer>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace quillon {

class TextBox;

// txtreceived: a read-only box that shows its model's bytes straight from
// the model, keeping no copy of its own. Only the rows in view are drawn,
// and text added at the end is laid out alone, so each arrival costs the
// same at the end of a long conversation with no line break as at its start.
// Arrivals are laid out as they come and painted together, with an arrival
// at most five times a second (twice while each frame's text fills the
// whole box) or when they stop, only what they changed, the scroll bar told
// once; a row keeps its glyphs until it changes.
// The user can select with the mouse and copy exactly what is shown.
class OutputBox : public QAbstractScrollArea {
public:
    explicit OutputBox(TextBox &model, QWidget *parent = nullptr);
    void refresh();
    void append(std::string_view more);

    // What the box shows, line breaks as "\n": all of it, or the selection.
    QString shown_text() const;
    QString selected_text() const;
    void select_all();
    void copy() const;
    std::size_t row_count() const { return rows_.count(); }
    // The shown text of one display row, without its line break.
    QString row_text(std::size_t row) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // A piece of a row drawn in one go: up to a tab or an end of the
    // selection, the bytes [start, end) of the text.
    struct Run {
        double x;
        double width;
        std::size_t start, end;
        bool selected;
        bool tab;
        // Its glyphs without shaping, while each character has one.
        bool plain;
        QList<quint32> glyphs;
        QList<QPointF> positions;
        // Where its glyphs are kept in its row: plain or shaped.
        std::size_t drawn;
    };
    // A row as last drawn: what of the text and the selection it covered,
    // and its runs as glyphs: each either drawn a character at a time
    // (plain) or, where that would not do, shaped; a run keeps only the one
    // it is drawn with.
    struct ShapedRow {
        std::size_t start, end, selected_from, selected_to;
        std::vector<Run> runs;
        std::vector<QGlyphRun> plain;
        std::vector<QStaticText> shaped;
    };

    void replace_all();
    void lay_out_all();
    void update_scroll_range();
    double char_width(char32_t code, double x);
    double text_width() const;
    void measure_font();
    int row_height() const { return row_height_; }
    std::vector<Run> runs(std::size_t row);
    quint32 plain_glyph(char32_t code);
    static QGlyphRun glyphs_from(const QGlyphRun &glyphs, double x);
    double x_before(std::size_t row, std::size_t at);
    int ink_overhang() const;
    const ShapedRow &shaped_row(std::size_t row);
    void paint_arrivals();
    void paint_all();
    std::size_t offset_at(QPoint point);
    // The model's text as far as this box has been told of it.
    std::string_view shown() const;
    std::size_t row_end_shown(std::size_t row) const;
    bool has_selection() const { return anchor_ != cursor_; }

    TextBox &model_;
    OutputRows rows_;
    // What of the model is laid out: its revision, size and a hash of its
    // bytes, so the same text set again is not laid out again.
    unsigned long shown_revision_ = 0;
    std::size_t shown_size_ = 0;
    std::uint64_t shown_hash_ = 0;
    double laid_out_width_ = 0;
    // Widths measured so far: Latin-1 at its code (negative until measured),
    // the rest by code.
    std::array<double, 256> narrow_widths_;
    QHash<char32_t, double> widths_;
    int row_height_ = 1;
    double baseline_ = 0;
    // The font's glyph for each character drawn so far, Latin-1 at its code;
    // 0 for one that needs shaping or another font.
    static constexpr quint32 unknown_glyph = ~0u;
    QRawFont raw_font_;
    std::array<quint32, 256> narrow_glyphs_;
    QHash<char32_t, quint32> glyphs_;
    // Arrivals wait here for their frame: the row and the byte where the
    // first of them began, and the first row in view when the box was last
    // painted.
    QTimer frame_;
    QElapsedTimer since_frame_;
    bool frame_pending_ = false;
    bool flooded_ = false;
    std::size_t changed_row_ = 0;
    std::size_t changed_at_ = 0;
    int painted_top_ = 0;
    bool arriving_ = false;
    QHash<std::size_t, ShapedRow> shaped_;
    // The selection: byte offsets of where it began and where it ends.
    std::size_t anchor_ = 0;
    std::size_t cursor_ = 0;
    bool selecting_ = false;
};

} // namespace quillon
