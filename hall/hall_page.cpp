#include "hall_page.h"

namespace korvane::hall {

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
    html += "</table>\n</body></html>\n";
    return html;
}

}  // namespace korvane::hall
