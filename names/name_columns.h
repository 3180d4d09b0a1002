#pragma once
// How wide a character of a name is drawn, in columns of a Latin letter.

namespace korvane::names {

// A wide or fullwidth East Asian character: 2; a combining mark: 0; a compatibility
// character (a ligature, a parenthesised digit): the columns of the characters it stands
// for (its NFKD); any other: 1.
int ColumnsOf(char32_t c);

}  // namespace korvane::names
