#pragma once

#include "game/Board.h"
#include "game/GameTypes.h"

#include <array>
#include <functional>
#include <string>

// A board held in plain arrays. Each template picture has a distinct id: the peg of colour
// code n is n, the empty hole EmptyHole.
class FakeBoard final : public korvanda::Board {
public:
    static constexpr korvanda::PictureId EmptyHole{5};
    static constexpr korvanda::PictureId Unset{0};
    static constexpr korvanda::PictureId peg(korvanda::Color color) {
        return korvanda::PictureId{static_cast<std::uintptr_t>(color)};
    }

    // The picture each hole shows, [column - 1][row].
    std::array<std::array<korvanda::PictureId, korvanda::GuessRows + 1>, korvanda::Columns> holes{};
    std::array<bool, korvanda::Columns> answerHoleVisible{true, true, true, true};
    bool answerLabelVisible = true;
    std::array<bool, korvanda::ColorCount> indicatorVisible{true, true, true, true};
    // The picture and the back colour of each feedback box; Blank back colour = never set.
    std::array<korvanda::Mark, korvanda::FeedbackBoxes> marks{};
    std::array<korvanda::Mark, korvanda::FeedbackBoxes> backColors{};
    std::string message;
    // Called after each showMark, to look at the game in the middle of a row's result.
    std::function<void(int box, korvanda::Mark mark)> onMark;

    void showPeg(int column, int row, korvanda::Color color) override {
        hole(column, row) = peg(color);
    }
    void showEmptyHole(int column, int row) override { hole(column, row) = EmptyHole; }
    korvanda::PictureId holePicture(int column, int row) const override {
        return holes.at(static_cast<std::size_t>(column - 1)).at(static_cast<std::size_t>(row));
    }
    void setAnswerHoleVisible(int column, bool visible) override {
        answerHoleVisible.at(static_cast<std::size_t>(column - 1)) = visible;
    }
    void setAnswerLabelVisible(bool visible) override { answerLabelVisible = visible; }
    void setIndicatorVisible(korvanda::Color color, bool visible) override {
        indicatorVisible.at(static_cast<std::size_t>(korvanda::code(color) - 1)) = visible;
    }
    void showMark(int box, korvanda::Mark mark) override {
        const auto b = static_cast<std::size_t>(box);
        if (mark != korvanda::Mark::Blank)
            backColors.at(b) = mark;
        marks.at(b) = mark;
        if (onMark)
            onMark(box, mark);
    }
    void setMessage(std::string_view text) override { message = text; }

    korvanda::PictureId& hole(int column, int row) {
        return holes.at(static_cast<std::size_t>(column - 1)).at(static_cast<std::size_t>(row));
    }
    bool answerShown() const {
        return answerLabelVisible && answerHoleVisible == std::array{true, true, true, true};
    }
    bool answerHidden() const {
        return !answerLabelVisible && answerHoleVisible == std::array{false, false, false, false};
    }
};
