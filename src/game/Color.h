#pragma once

#include <cstdint>

namespace korvanda {

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

} // namespace korvanda
