#include "hall_page.h"

#include <cctype>

namespace korvane::hall {

namespace {

// The games played now, from GET api/live, each with its link to watch it live, and the one
// with the highest score so far playing in a small viewer above them. A script rather than
// rows of the page, so that the page stays one text per version of the table; every value
// goes in as text, never as HTML. The viewer changes game only when another leads, so that
// it is not reloaded every few seconds.
constexpr const char* kLiveGames = R"(<section id="now"><h2>Played now</h2>
<figure id="viewer" hidden><iframe title="The game played now with the highest score, live"
 loading="lazy"></iframe><figcaption></figcaption></figure>
)";
constexpr const char* kLiveList = R"(<table id="live"><tr><th>Name</th><th>Stars</th><th class="wide">Frame</th><th>Score</th><th></th></tr></table>
</section>
<script>
(function list() {
    const table = document.getElementById("live");
    const viewer = document.getElementById("viewer");  // none where the hall has no browser build
    fetch("api/live").then((answer) => answer.json()).then(({live}) => {
        while (table.rows.length > 1) table.deleteRow(1);
        for (const game of live) {
            const row = table.insertRow();
            for (const [i, text] of [game.name || "", game.stars, game.frame, game.score].entries()) {
                Object.assign(row.insertCell(), {textContent: text, className: i === 2 ? "wide" : ""});
            }
            const watch = Object.assign(document.createElement("a"), {textContent: "watch live"});
            watch.href = "play/?live=" + encodeURIComponent(game.id);
            row.insertCell().append(watch);
        }
        if (!live.length) {
            Object.assign(table.insertRow().insertCell(), {colSpan: 5, textContent: "None now."});
        }
        if (!viewer) return;
        const shown = live.find((game) => game.id === viewer.dataset.live);
        const best = live.reduce((a, b) => (b.score > a.score ? b : a), live[0] || null);
        viewer.hidden = !best;
        if (best && (!shown || best.score > shown.score)) {
            viewer.dataset.live = best.id;
            viewer.querySelector("iframe").src = "play/?live=" + encodeURIComponent(best.id);
        }
        const leading = live.find((game) => game.id === viewer.dataset.live);
        if (leading) {
            viewer.querySelector("figcaption").textContent =
                (leading.name || "A player") + ", " + leading.score + " so far";
        }
    }).catch(() => {}).finally(() => setTimeout(list, 5000));
})();
</script>
)";

std::string Link(const char* categoryId, int64_t offset, bool everyGame,
                 const std::string& name) {
    std::string href = std::string("./?category=") + categoryId;
    if (everyGame) href += "&amp;all=1";
    if (!name.empty()) href += "&amp;name=" + PercentEncoded(name);
    if (offset > 0) href += "&amp;offset=" + std::to_string(offset);
    return href;
}

std::string PlayerLink(const std::string& name, const char* root) {
    return "<a href=\"" + std::string(root) + "players/" + PercentEncoded(name) + "\">" +
           EscapeHtml(name) + "</a>";
}

std::string ScoreRowsHtml(const std::vector<ScoreRow>& rows, const char* root, bool ranked) {
    std::string html;
    for (const ScoreRow& r : rows) {
        html += "<tr>";
        if (ranked) html += "<td class=\"n\">" + std::to_string(r.rank) + "</td>";
        html += "<td class=\"name\">" + PlayerLink(r.name, root) + "</td><td class=\"n\">" +
                std::to_string(r.score) + "</td><td class=\"n wide\">" +
                std::to_string(r.winscore) + "</td><td class=\"n\">" + std::to_string(r.stars) +
                "</td><td>" + TimeHtml(r.date) + "</td><td><a href=\"" + root +
                "play/?watch=" + std::to_string(r.id) + "\">watch</a></td></tr>\n";
    }
    return html;
}

std::string TableHead(bool ranked) {
    return std::string("<tr>") + (ranked ? "<th>Rank</th>" : "") +
           "<th>Name</th><th>Score</th><th class=\"wide\">Win score</th><th>Stars</th>"
           "<th>Date</th><th></th></tr>\n";
}

}  // namespace

const char* const kReadableDates = R"(<script>
(function readable() {
    const now = Date.now();
    const months = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"];
    for (const time of document.querySelectorAll("time[datetime]")) {
        const at = new Date(time.dateTime);
        if (isNaN(at)) continue;
        const minutes = Math.round((now - at) / 60000);
        const ago = (n, unit) => n + " " + unit + (n === 1 ? "" : "s") + " ago";
        time.title = at.toLocaleString();
        time.textContent = minutes < 1 ? "just now"
            : minutes < 60 ? ago(minutes, "minute")
            : minutes < 24 * 60 ? ago(Math.round(minutes / 60), "hour")
            : at.getDate() + " " + months[at.getMonth()] +
              (at.getFullYear() === new Date(now).getFullYear() ? "" : " " + at.getFullYear());
    }
    setTimeout(readable, 60000);
})();
</script>
)";

std::string EscapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string PercentEncoded(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '_' || c == '.' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

std::string PageHead(const std::string& title) {
    // Narrow screens: the table fits the width (no sideways scrolling at 390 px), long names
    // wrap, and the columns a phone can do without give way.
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<title>" +
           EscapeHtml(title) +
           "</title>"
           "<style>body{font-family:sans-serif;margin:1em 2em;background:#c0c0c0}"
           "table{border-collapse:collapse;background:#fff;max-width:100%}"
           "th,td{border:1px solid #808080;padding:0.25em 0.75em}td.n{text-align:right}"
           "td.name{overflow-wrap:anywhere}form{margin:0.5em 0}form label{margin-right:1em}"
           "nav a{margin-right:1em}#viewer{margin:0 0 0.5em}"
           "@media (min-width:60em){#now{float:right;width:24em;margin-left:1.5em}}"
           "#viewer iframe{width:100%;aspect-ratio:4/3;border:1px solid #808080;"
           "background:#000}"
           "@media (max-width:40em){body{margin:0.5em}th,td{padding:0.2em 0.3em}"
           ".wide{display:none}input[type=search]{width:8em}}</style>"
           "</head><body>\n";
}

std::string TimeHtml(const std::string& iso) {
    std::string shown = iso;
    if (shown.size() == 20 && shown[10] == 'T') shown = iso.substr(0, 10) + " " + iso.substr(11, 5) + " UTC";
    return "<time datetime=\"" + EscapeHtml(iso) + "\" title=\"" + EscapeHtml(iso) + "\">" +
           EscapeHtml(shown) + "</time>";
}

std::string HallPage(const TableQuery& q, const std::vector<ScoreRow>& rows, bool more,
                     bool viewer) {
    const Category& category = *q.category;
    const std::string name = q.shownPrefix;
    std::string html = PageHead("Korvane hall of fame") +
                       "<h1>Korvane hall of fame</h1>\n"
                       "<p>Every score here was replayed from its recording and came out the "
                       "same.</p>\n<form method=\"get\" action=\"./\">"
                       "<label>Category <select name=\"category\" "
                       "onchange=\"this.form.submit()\">";
    for (const Category& c : kCategories) {
        html += std::string("<option value=\"") + c.id + "\"" +
                (&c == &category ? " selected" : "") + ">" + c.name + " (" + StarRange(c) +
                ")</option>";
    }
    html += "</select></label><label>Name <input type=\"search\" name=\"name\" value=\"" +
            EscapeHtml(name) +
            "\" placeholder=\"starts with\"></label>"
            "<label><input type=\"checkbox\" name=\"all\" value=\"1\"" +
            (q.everyGame ? " checked" : "") +
            "> every game</label><button>Show</button></form>\n";
    html += viewer ? kLiveGames : "<section id=\"now\"><h2>Played now</h2>\n";
    html += kLiveList;
    html += std::string("<h2>") + category.name + ": " + StarRange(category) +
            (q.everyGame ? ", every game" : ", each player's best") + "</h2>\n";
    html += "<table id=\"hall\">\n" + TableHead(true) + ScoreRowsHtml(rows, "", true);
    if (rows.empty()) html += "<tr><td colspan=\"7\">No scores yet.</td></tr>\n";
    html += "</table>\n<nav>";
    if (q.offset > 0) {
        html += "<a rel=\"prev\" href=\"" +
                Link(category.id, std::max<int64_t>(0, q.offset - q.limit), q.everyGame, name) +
                "\">previous " + std::to_string(q.limit) + "</a>";
    }
    if (more) {
        html += "<a rel=\"next\" href=\"" +
                Link(category.id, q.offset + q.limit, q.everyGame, name) + "\">next " +
                std::to_string(q.limit) + "</a>";
    }
    html += "</nav>\n";
    html += kReadableDates;
    html += "</body></html>\n";
    return html;
}

std::string PlayerPage(const PlayerView& view) {
    std::string html = PageHead(view.name + " in the Korvane hall of fame") + "<p><a href=\"../\">The hall of fame</a></p>\n<h1>" +
                       EscapeHtml(view.name) + "</h1>\n<h2>Best in each category</h2>\n"
                       "<table id=\"best\">\n<tr><th>Category</th><th>Rank</th><th>Name</th>"
                       "<th>Score</th><th class=\"wide\">Win score</th><th>Stars</th>"
                       "<th>Date</th><th></th></tr>\n";
    for (const ScoreRow& r : view.best) {
        html += std::string("<tr><td>") + CategoryOf(r.stars).name + "</td>" +
                ScoreRowsHtml({r}, "../", true).substr(4);
    }
    html += "</table>\n<h2>Games, newest first</h2>\n<table id=\"games\">\n" + TableHead(false) +
            ScoreRowsHtml(view.games, "../", false) + "</table>\n<nav>";
    const std::string self = PercentEncoded(view.name);
    if (view.offset > 0) {
        html += "<a rel=\"prev\" href=\"" + self + "?offset=" +
                std::to_string(std::max<int64_t>(0, view.offset - view.limit)) + "\">newer</a>";
    }
    if (view.offset + int64_t(view.games.size()) < view.total) {
        html += "<a rel=\"next\" href=\"" + self + "?offset=" +
                std::to_string(view.offset + view.limit) + "\">older</a>";
    }
    html += "</nav>\n";
    html += kReadableDates;
    html += "</body></html>\n";
    return html;
}

}  // namespace korvane::hall
