#pragma once
// Where korvane-hall keeps its database and finds the browser build when not told: an
// installed hall uses the system's folders, a hall run from its build tree the project's.

#include <string>

namespace korvane::hall {

std::string DefaultDatabase();
std::string DefaultWebDir();

}  // namespace korvane::hall
