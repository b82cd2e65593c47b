#pragma once

#include "Board.h"
#include "GameState.h"

#include <memory>
#include <string_view>

namespace korvanda {

// The rules of one game, played on a Board. Every action runs to completion inside the
// player's event; nothing is deferred.
class Game {
public:
    static constexpr std::string_view StartMessage =
        "Choose colors (---->) and\r\nclick on the holes below.";
    static constexpr std::string_view WinMessage = "You guessed\r\nthe pattern!!!";
    static constexpr std::string_view LossMessage = "Sorry, but you have\r\nrun out of guesses.";

    // The game draws its secrets from the random source it owns. It only keeps the board
    // here: nothing is shown before the first NewGame, so the board may still be under
    // construction.
    Game(Board& board, std::unique_ptr<RandomSource> random);

    // Starts a game at any moment: draws a new secret into the hidden answer row and
    // empties the board.
    void NewGame();
    // A click on the palette peg of a colour.
    void ChooseColor(Color color);
    // A click on any hole of a column, whatever its row: the peg goes into the current row.
    void ClickHole(int column);

    const GameState& state() const { return state_; }

private:
    void CheckRowFull();
    void ScoreRow();
    void ShowRowResult();
    void ShowAnswer();

    Board& board_;
    std::unique_ptr<RandomSource> random_;
    GameState state_;
};

} // namespace korvanda
