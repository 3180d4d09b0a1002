#include "refusal.h"

#include <algorithm>
#include <iterator>

#include "json_response.h"

namespace korvane::hall {

namespace {

struct CodeFacts {
    const char* code;
    int status;
    int64_t retryAfter;  // 0: none, or (a bucket's) the wait given by who refuses
};

// Every code the hall answers with, its status and the wait it asks for. A code added to
// the hall goes here, and so is counted by its name in the metrics.
constexpr CodeFacts kCodes[] = {
    {"bad-name", 400, 0},
    {"bad-query", 400, 0},
    {"busy", 503, 2},
    {"desync", 422, 0},
    {"forbidden", 403, 0},
    {"hidden", 410, 0},
    {"length-required", 411, 0},
    {"live-elsewhere", 421, 0},
    {"live-moved", 503, 1},
    {"live-only", 410, 0},
    {"live-over", 409, 0},
    {"live-playing", 409, 0},
    {"malformed", 400, 0},
    {"method", 405, 0},
    {"name-taken", 409, 0},
    {"no-score", 422, 0},
    {"not-found", 404, 0},
    {"not-live", 422, 0},
    {"not-one-game", 422, 0},
    {"seed-mismatch", 422, 0},
    {"ticket-expired", 410, 0},
    {"ticket-unknown", 404, 0},
    {"ticket-used", 409, 0},
    {"too-large", 413, 0},
    {"too-long", 422, 0},
    {"too-many-headers", 431, 0},
    {"too-many-live-games", 429, 5},
    {"too-many-live-starts", 429, 5},
    {"too-many-open-tickets", 429, 60},
    {"too-many-submissions", 429, 0},
    {"too-many-tickets", 429, 0},
    {"too-many-watchers", 503, 5},
    {"unauthorized", 401, 0},
    {"unavailable", 503, 5},
};

const CodeFacts* FactsOf(const std::string& code) {
    const auto it = std::find_if(std::begin(kCodes), std::end(kCodes),
                                 [&](const CodeFacts& c) { return code == c.code; });
    return it == std::end(kCodes) ? nullptr : it;
}

}  // namespace

Refusal::Refusal(std::string c, std::string m) : code(std::move(c)), message(std::move(m)) {
    // A code this hall does not know (a newer hall's, from a shared database) is a game's
    // refusal, as most are.
    if (const CodeFacts* facts = FactsOf(code)) {
        status = facts->status;
        retryAfter = facts->retryAfter;
    }
}

Refusal::Refusal(std::string c, std::string m, int64_t wait) : Refusal(std::move(c), std::move(m)) {
    retryAfter = wait;
}

HttpResponse Refuse(const Refusal& refusal) {
    HttpResponse out = Json(refusal.status, {{"error", QString::fromStdString(refusal.code)},
                                             {"message", QString::fromStdString(refusal.message)}});
    if (refusal.retryAfter > 0)
        out.headers.emplace_back("Retry-After", std::to_string(refusal.retryAfter));
    if (refusal.status == 401) out.headers.emplace_back("WWW-Authenticate", "Bearer");
    return out;
}

bool IsRefusalCode(const std::string& code) {
    return FactsOf(code) != nullptr;
}

}  // namespace korvane::hall
