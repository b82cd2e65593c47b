#pragma once

#include "game/GameTypes.h"

#include <QPoint>
#include <QRect>
#include <QSize>

// The board's geometry. Numbers are written in twips, as the layout was drawn; every
// position on screen is derived from them at 15 twips to the pixel.
namespace korvanda::geometry {

constexpr int TwipsPerPixel = 15;
constexpr int px(int twips) {
    return twips / TwipsPerPixel;
}
constexpr QRect twipsRect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

constexpr QSize ClientSize{px(3915), px(6570)};

// Holes, guess and answer alike.
constexpr int HoleSize = 375;
constexpr int HoleStepX = 360;
constexpr int GuessRow1Top = 5880;
constexpr int RowStepY = 600;
constexpr int AnswerLeft = 600;
constexpr int AnswerTop = 120;

constexpr QRect holeRect(int column, int row) {
    const int left = HoleStepX * (Columns + 1 - column);
    if (row == AnswerRow)
        return twipsRect(AnswerLeft + left, AnswerTop, HoleSize, HoleSize);
    return twipsRect(left, GuessRow1Top - RowStepY * (row - 1), HoleSize, HoleSize);
}

// Feedback boxes: a 2 x 2 square beside each row, places 0 to 3 top left, top right,
// bottom left, bottom right.
constexpr int BoxSize = 135;
constexpr int BoxLeft = 1920;
constexpr int BoxStep = 240;

constexpr QRect feedbackRect(int box) {
    const int row = box / BoxesPerRow + 1;
    const int place = box % BoxesPerRow;
    return twipsRect(BoxLeft + BoxStep * (place % 2),
                     GuessRow1Top - RowStepY * (row - 1) + BoxStep * (place / 2), BoxSize, BoxSize);
}

// The frame of the board: horizontal lines 0 to GuessRows from the top, two verticals.
constexpr int LineWidth = 5;
constexpr int BoardLeft = 240;
constexpr int BoardRight = 2400;
constexpr int BoardTop = 1560;

constexpr int lineY(int j) {
    return px(BoardTop + RowStepY * j);
}
constexpr int BoardBottomY = lineY(GuessRows);

// The palette: the peg of colour code n, and its selection arrow, which stands left of the
// peg and a little higher, so that it points at the peg.
constexpr int PaletteLeft = 3315;
constexpr int PaletteTop = 600;
constexpr int PaletteStep = 480;
constexpr QRect paletteRect(int code) {
    return twipsRect(PaletteLeft, PaletteTop + PaletteStep * (code - 1), HoleSize, HoleSize);
}

constexpr int ArrowLeft = 2700;
constexpr int ArrowRaise = 30;
constexpr int ArrowSize = 480;
constexpr QRect arrowRect(int code) {
    return twipsRect(ArrowLeft, PaletteTop - ArrowRaise + PaletteStep * (code - 1), ArrowSize,
                     ArrowSize);
}

constexpr QRect MessageRect = twipsRect(240, 600, 2175, 495);
constexpr QRect AnswerLabelRect = twipsRect(255, 210, 750, 255);
constexpr QRect RevealBoxRect = twipsRect(2955, 120, 735, 285);
constexpr QRect FigureRect = twipsRect(2880, 2700, 810, 3810);
// Outside the client area: never seen, but first in the tab order.
constexpr QRect Command1Rect = twipsRect(1320, 7500, 1215, 495);

// A picture box's sunken frame.
constexpr int FrameWidth = 2;

} // namespace korvanda::geometry
