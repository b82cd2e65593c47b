#include "BoardSurface.h"

#include "Geometry.h"
#include "WindowColors.h"

#include <QPainter>

namespace korvanda {

BoardSurface::BoardSurface(QWidget* parent) : QWidget(parent) {
    setFixedSize(geometry::ClientSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardSurface::paintEvent(QPaintEvent*) {
    using namespace geometry;
    QPainter painter(this);
    painter.fillRect(rect(), colors::Back);
    // Wide lines end in round caps, so that the corners of the frame are rounded.
    painter.setPen(QPen(colors::Ink, LineWidth, Qt::SolidLine, Qt::RoundCap));
    const int left = px(BoardLeft);
    const int right = px(BoardRight);
    for (int j = 0; j <= GuessRows; ++j)
        painter.drawLine(left, lineY(j), right, lineY(j));
    painter.drawLine(left, lineY(0), left, BoardBottomY);
    painter.drawLine(right, lineY(0), right, BoardBottomY);
}

} // namespace korvanda
