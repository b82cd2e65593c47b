#pragma once

#include <cstdint>

namespace korvanda {

// What a feedback box shows.
enum class Mark : std::uint8_t { Blank, Black, White };

} // namespace korvanda
