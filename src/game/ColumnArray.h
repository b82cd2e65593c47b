#pragma once

#include "BoardSize.h"

#include <array>
#include <cassert>

namespace korvanda {

// One value per board column, addressed by column number 1 to Columns.
template <typename T> class ColumnArray {
public:
    constexpr T& operator()(int column) { return values_[index(column)]; }
    constexpr const T& operator()(int column) const { return values_[index(column)]; }

    constexpr void fill(const T& value) { values_.fill(value); }

private:
    static constexpr std::size_t index(int column) {
        assert(column >= 1 && column <= Columns);
        return static_cast<std::size_t>(column - 1);
    }

    std::array<T, Columns> values_{};
};

} // namespace korvanda
