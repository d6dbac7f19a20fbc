// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/qt_media.h"

#include "qt/mjpeg_avi.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QFile>
#include <QImageReader>
#include <QUrl>

namespace quillon {

std::vector<QImage> decoded_frames(const MjpegMovie &movie) {
    std::vector<QImage> out;
    for (const std::string &frame : movie.frames) {
        QImage image =
            QImage::fromData(QByteArray::fromRawData(frame.data(), static_cast<qsizetype>(frame.size())), "JPEG");
        if (!image.isNull()) out.push_back(image);
    }
    return out;
}

bool QtMedia::can_show_picture(const std::string &path) {
    QImageReader reader(QFile::decodeName(path.c_str()));
    return !reader.read().isNull();
}

bool QtMedia::can_play_animation(const std::string &path) {
    auto movie = read_mjpeg_avi(path);
    return movie && !decoded_frames(*movie).empty();
}

bool QtMedia::open_folder(const std::string &path) {
    // False when xdg-open, its way on Linux, cannot be started.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
}

} // namespace quillon
