#pragma once
// The hall of fame as a plain HTML page: the best scores in a table, each with a link that
// watches its game in the browser build.

#include <string>
#include <vector>

#include "store.h"

namespace korvane::hall {

// Text made safe to stand in HTML: & < > " ' written as entities.
std::string EscapeHtml(const std::string& text);

std::string HallPage(const std::vector<ScoreRow>& rows);

}  // namespace korvane::hall
