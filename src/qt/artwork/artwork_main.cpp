// SPDX-License-Identifier: GPL-3.0-or-later
// Paints the program's pictures and its animation into one folder, or the
// program's icon in the sizes of an icon theme:
//   quillon_artwork <images directory>
//   quillon_artwork --icons <theme directory>
#include "avi_writer.h"
#include "paintings.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

using namespace quillon::artwork;

namespace {

QString out_dir;

bool save(const QImage &image, const QString &name) {
    const char *format = name.endsWith(QStringLiteral(".png")) ? "PNG" : "JPEG";
    if (image.save(out_dir + QLatin1Char('/') + name, format, format[0] == 'J' ? 92 : -1)) return true;
    std::fprintf(stderr, "quillon_artwork: cannot write %s\n", qPrintable(name));
    return false;
}

std::string jpeg(const QImage &frame) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    frame.save(&buffer, "JPEG", 88);
    return bytes.toStdString();
}

bool save_animation(const QString &name) {
    std::vector<QImage> frames = file_copy_frames();
    std::vector<std::string> jpegs;
    for (const QImage &f : frames)
        jpegs.push_back(jpeg(f));
    std::string avi = mjpeg_avi(jpegs, frames.front().width(), frames.front().height(), 8);
    QFile file(out_dir + QLatin1Char('/') + name);
    if (file.open(QIODevice::WriteOnly) && file.write(avi.data(), qint64(avi.size())) == qint64(avi.size()))
        return true;
    std::fprintf(stderr, "quillon_artwork: cannot write %s\n", qPrintable(name));
    return false;
}

// <theme>/NxN/apps/quillon.png for the usual sizes of the hicolor theme.
bool save_icons(const QString &theme) {
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        out_dir = theme + QStringLiteral("/%1x%1/apps").arg(size);
        ok &= QDir().mkpath(out_dir) && save(program_icon(size), QStringLiteral("quillon.png"));
    }
    return ok;
}

} // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--icons") return save_icons(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillon_artwork <images directory> | --icons <theme directory>\n");
        return 2;
    }
    out_dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out_dir);
    // JPEG has no transparency: those two sit on the usual button face.
    const QColor button_face(0xef, 0xef, 0xef);
    bool ok = true;
    for (int d = 0; d <= 9; ++d)
        ok &= save(digit_key(d), QStringLiteral("digit%1.png").arg(d));
    ok &= save(dial_key(), QStringLiteral("dial.png"));
    ok &= save(hang_up_key(), QStringLiteral("cancel.png"));
    ok &= save(tone_key(), QStringLiteral("tone.png"));
    ok &= save(send_key(), QStringLiteral("send.png"));
    ok &= save(menu_key(), QStringLiteral("menu.png"));
    ok &= save(program_icon(), QStringLiteral("quillon.png"));
    ok &= save(redial_key(button_face), QStringLiteral("redial.jpg"));
    ok &= save(revert_key(button_face), QStringLiteral("revert.jpg"));
    ok &= save(help_photo(), QStringLiteral("photo.jpg"));
    ok &= save_animation(QStringLiteral("filecopy.avi"));
    return ok ? 0 : 1;
}
