#pragma once

#include <QPixmap>
#include <QString>
#include <memory>

namespace korvanda {

// An immutable picture, drawn crisp at any screen scale: art at double resolution sits
// beside the normal art as "name@2x.png", and other scales are made from the nearer art
// without smoothing. The art is read on first use.
class Picture {
public:
    explicit Picture(QString resourcePath);

    // Device pixels for the scale, with that device pixel ratio set.
    const QPixmap& pixmap(qreal devicePixelRatio) const;

private:
    QString path_;
    mutable QPixmap cached_;
    mutable qreal cachedRatio_ = 0;
};

// Controls share picture objects: giving one control the picture of another makes both
// hold the same object, so that identity can be compared.
using SharedPicture = std::shared_ptr<const Picture>;

inline SharedPicture makePicture(const QString& resourcePath) {
    return std::make_shared<const Picture>(resourcePath);
}

} // namespace korvanda
