#include "Picture.h"

#include "RawPicture.h"

#include <QResource>
#include <cstring>
#include <utility>

namespace korvanda {

namespace {

QString doubleResolutionPath(const QString& path) {
    QString twice = path;
    return twice.insert(path.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x"));
}

} // namespace

Picture::Picture(QString resourcePath) : path_(std::move(resourcePath)) {}

QPixmap Picture::read(const QString& resourcePath) {
    const QByteArray packed = QResource(resourcePath).uncompressedData();
    RawPictureHeader header{};
    if (packed.size() < qsizetype(sizeof header))
        return {};
    std::memcpy(&header, packed.constData(), sizeof header);
    const qsizetype rowBytes = qsizetype(header.width) * RawPictureBytesPerPixel;
    if (packed.size() != qsizetype(sizeof header) + rowBytes * qsizetype(header.height))
        return {};
    // Copied row by row: resource data carries no alignment that QImage could rely on.
    QImage image(int(header.width), int(header.height), QImage::Format(header.format));
    const char* row = packed.constData() + sizeof header;
    for (int y = 0; y < image.height(); ++y, row += rowBytes)
        std::memcpy(image.scanLine(y), row, std::size_t(rowBytes));
    return QPixmap::fromImage(std::move(image));
}

const QPixmap& Picture::pixmap(qreal devicePixelRatio) const {
    if (devicePixelRatio == cachedRatio_)
        return cached_;
    const bool useDouble = devicePixelRatio > 1.0;
    QPixmap art = read(useDouble ? doubleResolutionPath(path_) : path_);
    const qreal artRatio = useDouble ? 2.0 : 1.0;
    if (devicePixelRatio != artRatio) {
        const QSize logical = art.size() / artRatio;
        const QSize device(qRound(logical.width() * devicePixelRatio),
                           qRound(logical.height() * devicePixelRatio));
        art = art.scaled(device, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    art.setDevicePixelRatio(devicePixelRatio);
    cached_ = art;
    cachedRatio_ = devicePixelRatio;
    return cached_;
}

} // namespace korvanda
