#pragma once

#include <array>
#include <cassert>

namespace korvanda {

// Controls of one name told apart by an index, First to Last inclusive.
template <typename T, int First, int Last> class ControlArray {
public:
    static constexpr int first = First;
    static constexpr int last = Last;

    T& operator()(int index) { return items_[offset(index)]; }
    const T& operator()(int index) const { return items_[offset(index)]; }

private:
    static constexpr std::size_t offset(int index) {
        assert(index >= First && index <= Last);
        return static_cast<std::size_t>(index - First);
    }

    std::array<T, static_cast<std::size_t>(Last - First + 1)> items_{};
};

} // namespace korvanda
