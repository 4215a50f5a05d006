#pragma once
// Paradox picture strings (the picture part of a validity check) matched against a value's
// text. # a digit, ? a letter, & a letter (entered upper case), @ any character, ! any
// character (entered upper case), ; the next character as it is, *n the next item n times,
// * alone any number of times, [..] optional items, {a,b} one of the alternatives; any other
// character stands for itself (letters without regard to case).

#include <string_view>

namespace morvane {

enum class TvxPictureMatch { Matches, Breaks, Unknown };

// Unknown: the picture does not parse, or deciding would take too long (a picture of many
// nested repetitions): the value is then not held against it.
TvxPictureMatch MatchPicture(std::string_view picture, std::string_view text);

} // namespace morvane
