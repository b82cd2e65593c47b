#pragma once

#include "FakeBoard.h"
#include "ScriptedRandom.h"
#include "game/Game.h"

#include <array>
#include <memory>
#include <utility>

// A game on a fake board with a secret of the test's choosing.
struct GamePlay {
    FakeBoard board;
    // The game owns its random source; the test keeps a view of it to script the secrets.
    // Declared before the game, which takes it over.
    ScriptedRandom* random = new ScriptedRandom;
    korvanda::Game game{board, std::unique_ptr<korvanda::RandomSource>(random)};

    explicit GamePlay(const std::array<int, 4>& secret = {1, 2, 3, 4}) { newGame(secret); }

    void newGame(const std::array<int, 4>& secret) {
        random->queueSecret(secret);
        game.NewGame();
    }

    // Fills the current row with the colour codes of columns 1 to 4, which scores it.
    void playRow(const std::array<int, 4>& guess) {
        for (int c = 1; c <= korvanda::Columns; ++c) {
            game.ChooseColor(korvanda::colorFromCode(guess[static_cast<std::size_t>(c - 1)]));
            game.ClickHole(c);
        }
    }

    // Black and white marks shown beside a scored row.
    std::pair<int, int> marksOfRow(int row) const {
        int black = 0;
        int white = 0;
        for (int k = 0; k < korvanda::BoxesPerRow; ++k) {
            const auto mark =
                board.marks.at(static_cast<std::size_t>((row - 1) * korvanda::BoxesPerRow + k));
            black += mark == korvanda::Mark::Black ? 1 : 0;
            white += mark == korvanda::Mark::White ? 1 : 0;
        }
        return {black, white};
    }
};
