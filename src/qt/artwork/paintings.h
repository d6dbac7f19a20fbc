// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>

#include <vector>

namespace quillon::artwork {

// Button pictures: square tiles, transparent round the corners unless a
// backdrop colour is given (for formats without transparency).
QImage digit_key(int digit);
QImage dial_key();
QImage hang_up_key();
QImage redial_key(QColor backdrop);
QImage revert_key(QColor backdrop);
QImage tone_key();
QImage send_key();
QImage menu_key();
// The program's icon, size pixels square; packaging/quillon.svg draws the
// same in SVG.
QImage program_icon(int size = 128);

// The help window's picture: two computers talking over a telephone line.
QImage help_photo();
// The conversion window's animation: a document flying between two folders.
std::vector<QImage> file_copy_frames();

} // namespace quillon::artwork
