#pragma once
// The hall's categories: bands of star counts whose games play at comparable speed. The
// star count sets the pace (every star is drawn each frame, and the emulated drawing time
// paces the frames), from about 2,000 frames a second at 0 stars to 65 at 500, so a table
// of every game would rank a frantic game against a slow one. docs/hall.md explains the
// bands. The first is the one of the game's default of 150 stars.

#include <array>
#include <optional>
#include <string>

namespace korvane::hall {

struct Category {
    const char* id;    // in URLs and answers
    const char* name;  // as the page shows it
    int lowStars;
    int highStars;  // inclusive
};

inline constexpr std::array<Category, 4> kCategories = {{
    {"standard", "Standard", 100, 219},
    {"fast", "Fast", 40, 99},
    {"frantic", "Frantic", 0, 39},
    {"slow", "Slow", 220, 500},
}};

// The band of a star count; a count outside every band (none is played) goes to the
// nearest end.
const Category& CategoryOf(int stars);
// By id, or nothing.
const Category* CategoryById(const std::string& id);
// "100 to 219 stars".
std::string StarRange(const Category& category);

}  // namespace korvane::hall
