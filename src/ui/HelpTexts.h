#pragma once

// The texts of the Help menu's message boxes. Lines are joined by CR LF.
namespace korvanda::help {

constexpr char RulesTitle[] = "How to Play...";
constexpr char RulesText[] =
    "Korvanda is a game based on logic.  The object of the game is\r\n"
    "to guess the secret color pattern of four pegs randomly chosen\r\n"
    "by the computer.\r\n"
    "\r\n"
    "You have eight chances to guess the combination, starting with\r\n"
    "the bottom row and working your way up.  To guess, first click\r\n"
    "on a colored peg on the right, and then click on a hole in the\r\n"
    "appropriate row.\r\n"
    "\r\n"
    "When all of the holes in a row are filled with colors, the small\r\n"
    "boxes to the right of the row will turn black or white or will remain\r\n"
    "unchanged.  A black box means one of your guesses is both the\r\n"
    "correct color and in the correct position.  A white box means one\r\n"
    "of your guesses is the correct color, but in the wrong position.\r\n"
    "The positions of the boxes do not correspond to the positions of\r\n"
    "the holes.";

constexpr char AboutTitle[] = "About...";
constexpr char AboutText[] = "This program was created by:\r\n"
                             "\r\n";

} // namespace korvanda::help
