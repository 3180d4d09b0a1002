#include "categories.h"

namespace korvane::hall {

const Category& CategoryOf(int stars) {
    for (const Category& c : kCategories) {
        if (stars >= c.lowStars && stars <= c.highStars) return c;
    }
    const Category* nearest = &kCategories[0];
    for (const Category& c : kCategories) {
        if (stars < 0 ? c.lowStars < nearest->lowStars : c.highStars > nearest->highStars)
            nearest = &c;
    }
    return *nearest;
}

const Category* CategoryById(const std::string& id) {
    for (const Category& c : kCategories) {
        if (id == c.id) return &c;
    }
    return nullptr;
}

std::string StarRange(const Category& category) {
    return std::to_string(category.lowStars) + " to " + std::to_string(category.highStars) +
           " stars";
}

}  // namespace korvane::hall
