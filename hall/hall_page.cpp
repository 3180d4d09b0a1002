#include "hall_page.h"

namespace korvane::hall {

namespace {

// The games played now, from GET api/live, each with its link to watch it live. A script
// rather than rows of the page, so that the page stays one text per version of the table;
// every value goes in as text, never as HTML.
constexpr const char* kLiveGames = R"(<h2>Played now</h2>
<table id="live"><tr><th>Name</th><th>Stars</th><th>Frame</th><th>Score</th><th></th></tr></table>
<script>
(function list() {
    const table = document.getElementById("live");
    fetch("api/live").then((answer) => answer.json()).then(({live}) => {
        while (table.rows.length > 1) table.deleteRow(1);
        for (const game of live) {
            const row = table.insertRow();
            for (const text of [game.name || "", game.stars, game.frame, game.score]) {
                row.insertCell().textContent = text;
            }
            const watch = Object.assign(document.createElement("a"), {textContent: "watch live"});
            watch.href = "play/?live=" + encodeURIComponent(game.id);
            row.insertCell().append(watch);
        }
        if (!live.length) {
            Object.assign(table.insertRow().insertCell(), {colSpan: 5, textContent: "None now."});
        }
    }).catch(() => {}).finally(() => setTimeout(list, 5000));
})();
</script>
)";

}  // namespace

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

std::string HallPage(const std::vector<ScoreRow>& rows) {
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        "<title>Korvane hall of fame</title>"
        "<style>body{font-family:sans-serif;margin:2em;background:#c0c0c0}"
        "table{border-collapse:collapse;background:#fff}"
        "th,td{border:1px solid #808080;padding:0.25em 0.75em}td.n{text-align:right}</style>"
        "</head><body>\n<h1>Korvane hall of fame</h1>\n"
        "<p>Every score here was replayed from its recording and came out the same.</p>\n"
        "<table id=\"hall\">\n<tr><th>Rank</th><th>Name</th><th>Score</th><th>Win score</th>"
        "<th>Stars</th><th>Date</th><th></th></tr>\n";
    for (const ScoreRow& r : rows) {
        html += "<tr><td class=\"n\">" + std::to_string(r.rank) + "</td><td class=\"name\">" +
                EscapeHtml(r.name) + "</td><td class=\"n\">" + std::to_string(r.score) +
                "</td><td class=\"n\">" + std::to_string(r.winscore) + "</td><td class=\"n\">" +
                std::to_string(r.stars) + "</td><td>" + EscapeHtml(r.date) +
                "</td><td><a href=\"play/?watch=" + std::to_string(r.id) +
                "\">watch</a></td></tr>\n";
    }
    if (rows.empty()) html += "<tr><td colspan=\"7\">No scores yet.</td></tr>\n";
    html += "</table>\n";
    html += kLiveGames;
    html += "</body></html>\n";
    return html;
}

}  // namespace korvane::hall
