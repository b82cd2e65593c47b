#pragma once

#include <QImage>
#include <QtGlobal>

namespace korvanda {

// The pictures are packed at build time as this header followed by the rows of pixels,
// four bytes each, in the byte order of the machine that builds them. Showing one then
// needs no image decoder, and so no search for image format plugins at start-up.
struct RawPictureHeader {
    quint32 width;
    quint32 height;
    quint32 format; // a QImage::Format of four bytes a pixel
};

constexpr int RawPictureBytesPerPixel = 4;

} // namespace korvanda
