#pragma once

class QPainter;
class QRect;

namespace korvanda {

// Paints the standard two-pixel sunken edge just inside the rectangle.
void paintSunkenFrame(QPainter& painter, const QRect& outer);

} // namespace korvanda
