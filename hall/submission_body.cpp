#include "submission_body.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cctype>

namespace korvane::hall {

namespace {

// The number of members of the JSON object text is, counted as written: a parser keeps
// only the last of two members of one name, which would let a second "ticket" replace the
// first unseen. The text is already known to be valid JSON.
size_t WrittenMembers(const std::string& text) {
    size_t members = 0;
    int depth = 0;
    bool inString = false;
    bool key = false;  // the string being read is a member's name
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
                if (key) ++members;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
            // A name comes right after the object's { or a , between its members.
            size_t before = i;
            while (before > 0 && std::isspace(static_cast<unsigned char>(text[before - 1])))
                --before;
            key = depth == 1 && before > 0 && (text[before - 1] == '{' || text[before - 1] == ',');
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return members;
}

}  // namespace

std::optional<SubmissionBody> ReadSubmissionBody(const std::string& body, Refusal& refusal) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(body), &error);
    const QJsonObject o = doc.object();
    if (error.error != QJsonParseError::NoError || !doc.isObject() || !o["ticket"].isString() ||
        !o["name"].isString() || (!o["recording"].isString() && o.size() != 2)) {
        refusal = {"malformed",
                   "expected a JSON object with the strings ticket, name, recording (or, for a "
                   "game played live, ticket and name)"};
        return std::nullopt;
    }
    if (WrittenMembers(body) != size_t(o.size())) {
        refusal = {"malformed", "a member of the JSON object is named twice"};
        return std::nullopt;
    }
    return SubmissionBody{o["ticket"].toString().toStdString(), o["name"].toString().toStdString(),
                          o["recording"].toString().toStdString(), !o.contains("recording")};
}

}  // namespace korvane::hall
