#include "SunkenFrame.h"

#include "Geometry.h"
#include "WindowColors.h"

#include <QColor>
#include <QPainter>
#include <QRect>
#include <array>

namespace korvanda {

namespace {

// Outermost ring first.
struct Ring {
    QColor topLeft;
    QColor bottomRight;
};
const std::array<Ring, geometry::FrameWidth> SunkenRings{{
    {colors::FrameShadow, colors::FrameLight},
    {colors::FrameDarkShadow, colors::FrameMidlight},
}};

} // namespace

void paintSunkenFrame(QPainter& painter, const QRect& outer) {
    QRect ring = outer;
    for (const Ring& colors : SunkenRings) {
        painter.fillRect(ring.left(), ring.top(), ring.width(), 1, colors.topLeft);
        painter.fillRect(ring.left(), ring.top(), 1, ring.height(), colors.topLeft);
        painter.fillRect(ring.left() + 1, ring.bottom(), ring.width() - 1, 1, colors.bottomRight);
        painter.fillRect(ring.right(), ring.top() + 1, 1, ring.height() - 1, colors.bottomRight);
        ring.adjust(1, 1, -1, -1);
    }
}

} // namespace korvanda
