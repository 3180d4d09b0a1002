#pragma once
// A player's name as the hall of fame shows it: normalised (Unicode NFC), short, narrow
// enough for its table cell, and visible. The hall checks every name it stores with this
// rule, the desktop's dialog offers to send only a name it takes, and the page asks the hall.

#include <string>
#include <string_view>

namespace korvane::names {

// Characters (code points) after NFC.
constexpr int kMaxNameCharacters = 24;
// Combining marks on one letter, counted on its canonical decomposition: enough for
// Vietnamese (ệ is e, a dot below and a circumflex), not for a tower of marks.
constexpr int kMaxMarksOnALetter = 2;
// Columns (name_columns.h): the table's name cell holds 24 wide CJK characters, the widest
// name of letters; a name of compatibility characters, each counted as the letters it
// stands for, may not be wider.
constexpr int kMaxNameColumns = 2 * kMaxNameCharacters;
// One character may be as wide as the widest characters players type as one: the ffi
// ligature, a parenthesised digit (U+2474), the telephone sign (U+2121, "TEL"). Wider is a
// word or a phrase drawn as one character (U+247D "(10)" is 4, U+FDFA 18 letters).
constexpr int kMaxCharacterColumns = 3;

struct NameVerdict {
    bool taken = false;
    std::string name;     // taken: the name to store, NFC, UTF-8
    std::string refusal;  // refused: why, in a short sentence for the player
};

// The verdict on a name given as UTF-8 bytes.
NameVerdict CheckName(std::string_view utf8);

}  // namespace korvane::names
