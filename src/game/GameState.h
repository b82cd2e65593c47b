#pragma once

#include "GameTypes.h"

namespace korvanda {

// The state of one game. Between two player actions BlackCount and WhiteCount are 0 and
// SecretUsed and GuessUsed are clear: they only hold values while a row is being scored.
struct GameState {
    // The colour last chosen on the palette; None until the first choice of a game.
    Color SelectedColor = Color::None;
    // The guess row being filled, 1 (bottom) to 8; 9 once the eighth row has been scored.
    int CurrentRow = 0;
    int BlackCount = 0;
    int WhiteCount = 0;
    // The secret as drawn for columns 1 to 4.
    ColumnArray<Color> SecretPeg;
    // The first feedback box that receives a white mark, and the box being painted.
    int MarkStart = 0;
    int MarkIndex = 0;
    // Rows already scored: always CurrentRow - 1 during a game.
    int RowBase = 0;
    // Column c of the current row has received a colour since the row began.
    ColumnArray<bool> HoleFilled;
    ColumnArray<bool> SecretUsed;
    ColumnArray<bool> GuessUsed;
    // The secret that rows are scored against.
    ColumnArray<Color> SecretColors;
    // The colours placed in the current row.
    ColumnArray<Color> GuessColors;
};

} // namespace korvanda
