#include "Picture.h"

#include <utility>

namespace korvanda {

namespace {

QString doubleResolutionPath(const QString& path) {
    QString twice = path;
    return twice.insert(path.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x"));
}

} // namespace

Picture::Picture(QString resourcePath) : path_(std::move(resourcePath)) {}

const QPixmap& Picture::pixmap(qreal devicePixelRatio) const {
    if (devicePixelRatio == cachedRatio_)
        return cached_;
    const bool useDouble = devicePixelRatio > 1.0;
    QPixmap art(useDouble ? doubleResolutionPath(path_) : path_);
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
