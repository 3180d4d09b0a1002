#include "json_bodies.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cctype>

namespace korvane::hall {

namespace {

// The number of members of the JSON object text is, counted as written. The text is
// already known to be valid JSON.
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

// The body as a JSON object whose members are each named once, or nothing (why in refusal,
// beginning with `expected`).
std::optional<QJsonObject> ReadObject(const std::string& body, Refusal& refusal,
                                      const char* expected) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(body), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        refusal = {"malformed", expected};
        return std::nullopt;
    }
    if (WrittenMembers(body) != size_t(doc.object().size())) {
        refusal = {"malformed", "a member of the JSON object is named twice"};
        return std::nullopt;
    }
    return doc.object();
}

}  // namespace

std::optional<SubmissionBody> ReadSubmissionBody(const std::string& body, Refusal& refusal) {
    const char* expected =
        "expected a JSON object with the strings ticket, name, recording (or, for a game played "
        "live, ticket and name), and key for a name already held";
    const std::optional<QJsonObject> o = ReadObject(body, refusal, expected);
    if (!o) return std::nullopt;
    const bool hasKey = o->contains("key");
    if (!(*o)["ticket"].isString() || !(*o)["name"].isString() ||
        (hasKey && !(*o)["key"].isString()) ||
        (!(*o)["recording"].isString() && o->size() != 2 + int(hasKey))) {
        refusal = {"malformed", expected};
        return std::nullopt;
    }
    SubmissionBody read{(*o)["ticket"].toString().toStdString(),
                        (*o)["name"].toString().toStdString(),
                        (*o)["recording"].toString().toStdString(), !o->contains("recording"),
                        std::nullopt};
    if (hasKey) read.key = (*o)["key"].toString().toStdString();
    return read;
}

std::optional<LiveOpening> ReadLiveOpening(const std::string& body, Refusal& refusal) {
    const char* expected = "expected a JSON object with the string ticket (and name)";
    const std::optional<QJsonObject> o = ReadObject(body, refusal, expected);
    if (!o) return std::nullopt;
    if (!(*o)["ticket"].isString() || (o->contains("name") && !(*o)["name"].isString())) {
        refusal = {"malformed", expected};
        return std::nullopt;
    }
    LiveOpening opening{(*o)["ticket"].toString().toStdString(), std::nullopt};
    if (o->contains("name")) opening.name = (*o)["name"].toString().toStdString();
    return opening;
}

}  // namespace korvane::hall
