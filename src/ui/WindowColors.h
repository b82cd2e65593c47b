#pragma once

#include <QColor>

// The window's fixed colours. They hold whatever the desktop's theme, so that the board
// looks as drawn on a light or a dark desktop alike.
namespace korvanda::colors {

// The window, the reveal box and the "Answer:" label.
constexpr QColor Back{224, 224, 224};
// Lines and text other than the message.
constexpr QColor Ink{0, 0, 0};
constexpr QColor MessageBack{0, 0, 0};
constexpr QColor MessageText{0, 192, 0};
// The back colours of the black and the white mark templates.
constexpr QColor BlackMarkBack{0, 0, 0};
constexpr QColor WhiteMarkBack{255, 255, 255};
// A sunken frame's two rings, outer first: top and left edges, then bottom and right.
constexpr QColor FrameShadow{128, 128, 128};
constexpr QColor FrameLight{255, 255, 255};
constexpr QColor FrameDarkShadow{0, 0, 0};
constexpr QColor FrameMidlight{192, 192, 192};

} // namespace korvanda::colors
