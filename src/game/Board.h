#pragma once

#include "GameTypes.h"

#include <cstdint>
#include <string_view>

namespace korvanda {

// The identity of the picture a hole shows. Two holes compare equal exactly when they
// hold the same picture object.
enum class PictureId : std::uintptr_t {};

// What the rules need of the board on screen. Rows and columns are board coordinates:
// column 1 (right) to 4 (left); row 0 is the answer row, rows 1 (bottom) to 8 (top) the
// guess rows. Feedback box b belongs to row b / 4 + 1.
class Board {
public:
    virtual ~Board() = default;

    // The hole shows the very picture of the peg template of the colour (a real colour).
    virtual void showPeg(int column, int row, Color color) = 0;
    // The hole shows the very picture of the empty-hole template.
    virtual void showEmptyHole(int column, int row) = 0;
    virtual PictureId holePicture(int column, int row) const = 0;

    virtual void setAnswerHoleVisible(int column, bool visible) = 0;
    virtual void setAnswerLabelVisible(bool visible) = 0;
    // The selection arrow beside the palette peg of the colour (a real colour).
    virtual void setIndicatorVisible(Color color, bool visible) = 0;

    // Black and White take the template's back colour, then its picture. Blank takes the
    // blank picture only: the box keeps its back colour, which the picture covers.
    virtual void showMark(int box, Mark mark) = 0;

    // Lines are separated by CR LF.
    virtual void setMessage(std::string_view text) = 0;
};

} // namespace korvanda
