#include "qt/elided_label.h"

#include <QFontMetrics>
#include <QResizeEvent>

namespace quillon {

namespace {
// Characters kept at each end at the narrowest.
constexpr int kept_at_each_end = 7;
} // namespace

ElidedLabel::ElidedLabel(QWidget *parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void ElidedLabel::set_whole_text(const QString &text) {
    if (text == whole_ && !text.isEmpty()) return;
    whole_ = text;
    setToolTip(text);
    elide();
    updateGeometry();
}

QSize ElidedLabel::sizeHint() const {
    QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(whole_) + 2 * margin() + 2, QLabel::sizeHint().height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    QString narrowest = whole_.size() <= 2 * kept_at_each_end + 1
                            ? whole_
                            : whole_.left(kept_at_each_end) + QChar(0x2026) + whole_.right(kept_at_each_end);
    QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(narrowest) + 2 * margin() + 2, QLabel::minimumSizeHint().height()};
}

void ElidedLabel::resizeEvent(QResizeEvent *event) {
    QLabel::resizeEvent(event);
    elide();
}

// Whole until laid out: a label not yet shown has no width to go by.
void ElidedLabel::elide() {
    const int room = contentsRect().width() - 2 * margin();
    if (!isVisible() || room <= 0) setText(whole_);
    else setText(QFontMetrics(font()).elidedText(whole_, Qt::ElideMiddle, room));
}

} // namespace quillon
