#pragma once

namespace korvanda {

constexpr int Columns = 4;
constexpr int GuessRows = 8;
// The answer row is element 0 of every column; guess rows are 1 (bottom) to GuessRows (top).
constexpr int AnswerRow = 0;
constexpr int BoxesPerRow = 4;
constexpr int FeedbackBoxes = GuessRows * BoxesPerRow;

} // namespace korvanda
