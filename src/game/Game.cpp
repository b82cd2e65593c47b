#include "Game.h"

#include <cmath>
#include <utility>

namespace korvanda {

Game::Game(Board& board, std::unique_ptr<RandomSource> random)
    : board_(board), random_(std::move(random)) {}

void Game::NewGame() {
    GameState& s = state_;
    random_->reseed();

    s.SelectedColor = Color::None;
    s.CurrentRow = 1;
    s.RowBase = 0;

    for (int c = 1; c <= Columns; ++c)
        board_.setAnswerHoleVisible(c, false);
    board_.setAnswerLabelVisible(false);

    for (int k = 1; k <= ColorCount; ++k) {
        board_.setIndicatorVisible(colorFromCode(k), false);
        s.SecretUsed(k) = false;
    }

    s.BlackCount = 0;
    s.HoleFilled.fill(false);

    for (int c = 1; c <= Columns; ++c) {
        const auto r = random_->draw();
        s.SecretPeg(c) = colorFromCode(static_cast<int>(std::floor(r * ColorCount)) + 1);
    }
    for (int c = 1; c <= Columns; ++c)
        s.SecretColors(c) = s.SecretPeg(c);
    for (int c = 1; c <= Columns; ++c)
        board_.showPeg(c, AnswerRow, s.SecretPeg(c));

    for (int row = 1; row <= GuessRows; ++row)
        for (int c = 1; c <= Columns; ++c)
            board_.showEmptyHole(c, row);

    for (int box = 0; box < FeedbackBoxes; ++box)
        board_.showMark(box, Mark::Blank);

    board_.setMessage(StartMessage);
}

void Game::ChooseColor(Color color) {
    state_.SelectedColor = color;
    board_.setIndicatorVisible(color, true);
    for (int k = 1; k <= ColorCount; ++k)
        if (colorFromCode(k) != color)
            board_.setIndicatorVisible(colorFromCode(k), false);
}

void Game::ClickHole(int column) {
    GameState& s = state_;
    // Once the eighth row has been scored there is no row left to fill.
    if (s.SelectedColor == Color::None || s.CurrentRow > GuessRows)
        return;
    s.HoleFilled(column) = true;
    board_.showPeg(column, s.CurrentRow, s.SelectedColor);
    s.GuessColors(column) = s.SelectedColor;
    CheckRowFull();
}

void Game::CheckRowFull() {
    GameState& s = state_;
    int filled = 0;
    for (int c = 1; c <= Columns; ++c)
        filled += s.HoleFilled(c) ? 1 : 0;
    if (filled != Columns)
        return;
    s.HoleFilled.fill(false);
    ScoreRow();
}

void Game::ScoreRow() {
    GameState& s = state_;
    // Black: a guess hole showing the very picture of its column's answer hole.
    for (int c = 1; c <= Columns; ++c) {
        if (board_.holePicture(c, s.CurrentRow) == board_.holePicture(c, AnswerRow)) {
            ++s.BlackCount;
            s.SecretUsed(c) = true;
            s.GuessUsed(c) = true;
        }
    }
    // White: each unmatched guess position takes the lowest free secret position of its
    // colour in another column.
    for (int i = 1; i <= Columns; ++i) {
        for (int j = 1; j <= Columns; ++j) {
            if (!s.SecretUsed(j) && !s.GuessUsed(i) && i != j &&
                s.SecretColors(j) == s.GuessColors(i)) {
                ++s.WhiteCount;
                s.SecretUsed(j) = true;
                s.GuessUsed(i) = true;
            }
        }
    }
    ShowRowResult();
}

void Game::ShowAnswer() {
    board_.setAnswerLabelVisible(true);
    for (int c = 1; c <= Columns; ++c)
        board_.setAnswerHoleVisible(c, true);
}

void Game::ShowRowResult() {
    GameState& s = state_;
    if (s.BlackCount == Columns) {
        board_.setMessage(WinMessage);
        ShowAnswer();
    } else if (s.CurrentRow == GuessRows) {
        board_.setMessage(LossMessage);
        ShowAnswer();
    }

    // A row's boxes by increasing index: its black marks, then its white marks, then
    // boxes left blank.
    for (int k = 0; k < s.BlackCount; ++k)
        board_.showMark(s.RowBase * BoxesPerRow + k, Mark::Black);
    if (s.WhiteCount > 0) {
        s.MarkStart = s.RowBase * BoxesPerRow + s.BlackCount;
        for (s.MarkIndex = s.MarkStart; s.MarkIndex < s.MarkStart + s.WhiteCount; ++s.MarkIndex)
            board_.showMark(s.MarkIndex, Mark::White);
    }

    s.BlackCount = 0;
    s.WhiteCount = 0;
    s.SecretUsed.fill(false);
    s.GuessUsed.fill(false);

    ++s.CurrentRow;
    ++s.RowBase;
}

} // namespace korvanda
