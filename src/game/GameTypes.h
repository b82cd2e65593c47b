#pragma once

#include <array>
#include <cassert>
#include <cstdint>

// The game's shared vocabulary: the size of the board, colours and marks, the one-based
// arrays that hold a value per column or per control, and where secrets come from.
namespace korvanda {

constexpr int Columns = 4;
constexpr int GuessRows = 8;
// The answer row is element 0 of every column; guess rows are 1 (bottom) to GuessRows (top).
constexpr int AnswerRow = 0;
constexpr int BoxesPerRow = 4;
constexpr int FeedbackBoxes = GuessRows * BoxesPerRow;

// A peg colour code. None means that no colour has been chosen yet.
enum class Color : std::uint8_t { None = 0, Red = 1, Yellow = 2, Green = 3, Blue = 4 };

constexpr int ColorCount = 4;

constexpr int code(Color color) {
    return static_cast<int>(color);
}

// Valid for codes 0 to ColorCount.
constexpr Color colorFromCode(int code) {
    return static_cast<Color>(code);
}

// What a feedback box shows.
enum class Mark : std::uint8_t { Blank, Black, White };

// Values of one name told apart by an index, First to Last inclusive, as the board numbers
// them: columns from 1, rows from the answer row 0, feedback boxes from 0. An index out of
// range is a programming error, caught by an assertion in debug builds.
template <typename T, int First, int Last> class ControlArray {
public:
    static constexpr int first = First;
    static constexpr int last = Last;

    constexpr T& operator()(int index) { return items_[offset(index)]; }
    constexpr const T& operator()(int index) const { return items_[offset(index)]; }

    constexpr void fill(const T& value) { items_.fill(value); }

private:
    static constexpr std::size_t offset(int index) {
        assert(index >= First && index <= Last);
        return static_cast<std::size_t>(index - First);
    }

    std::array<T, static_cast<std::size_t>(Last - First + 1)> items_{};
};

// One value per board column, addressed by column number 1 to Columns.
template <typename T> using ColumnArray = ControlArray<T, 1, Columns>;

// Where a new game's secret comes from.
class RandomSource {
public:
    virtual ~RandomSource() = default;

    // Called at the start of every game, before its draws.
    virtual void reseed() = 0;
    // A value uniform in [0, 1).
    virtual float draw() = 0;
};

} // namespace korvanda
