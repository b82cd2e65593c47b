// Packs a picture file into the raw form that the game embeds: pack_picture IN.png OUT

#include "ui/RawPicture.h"

#include <QFile>
#include <QImage>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fputs("usage: pack_picture IN.png OUT\n", stderr);
        return 2;
    }
    QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull()) {
        std::fprintf(stderr, "pack_picture: cannot read %s\n", argv[1]);
        return 1;
    }
    image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                          : QImage::Format_RGB32);
    const korvanda::RawPictureHeader header{static_cast<quint32>(image.width()),
                                            static_cast<quint32>(image.height()),
                                            static_cast<quint32>(image.format())};
    QFile out(QString::fromLocal8Bit(argv[2]));
    bool written =
        out.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        out.write(reinterpret_cast<const char*>(&header), sizeof header) == sizeof header;
    const qint64 rowBytes = qint64(image.width()) * korvanda::RawPictureBytesPerPixel;
    for (int y = 0; written && y < image.height(); ++y)
        written =
            out.write(reinterpret_cast<const char*>(image.constScanLine(y)), rowBytes) == rowBytes;
    if (!written || !out.flush()) {
        std::fprintf(stderr, "pack_picture: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
