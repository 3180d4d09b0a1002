#pragma once
// The hall of fame as plain HTML pages: a category's table (the front page), each row with a
// link to its player's page and one that watches its game in the browser build, the game
// played now with the highest score in a small live viewer; and a player's page.

#include <string>
#include <vector>

#include "player_routes.h"
#include "store/store.h"

namespace korvane::hall {

// Text made safe to stand in HTML: & < > " ' written as entities.
std::string EscapeHtml(const std::string& text);
// UTF-8 text as one segment of a URL's path.
std::string PercentEncoded(const std::string& text);

// The page's head and styles, up to the open body, titled title.
std::string PageHead(const std::string& title);
// A date (ISO 8601, UTC) in a <time>; the page's script writes it as people read it.
std::string TimeHtml(const std::string& iso);
// The script that writes each <time> as "3 minutes ago" or "5 Dec", the exact time its title.
extern const char* const kReadableDates;

// more: rows follow the last shown; viewer: the hall serves the browser build, which plays
// the leading live game in the page's viewer.
std::string HallPage(const TableQuery& query, const std::vector<ScoreRow>& rows, bool more,
                     bool viewer);

std::string PlayerPage(const PlayerView& view);

}  // namespace korvane::hall
