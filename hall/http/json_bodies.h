#pragma once
// The JSON bodies clients send: each a JSON object whose members are named once (a parser
// keeps only the last of two members of one name, which would let a second "ticket"
// replace the first unseen).

#include <optional>
#include <string>

#include "refusal.h"

namespace korvane::hall {

// The body of POST /api/scores: three strings; or two, the ticket and name of a game played
// live, whose lines the hall has; and the player's key, once it has one.
struct SubmissionBody {
    std::string ticket;
    std::string name;
    std::string recording;
    bool live = false;  // no recording: the ticket's live game
    std::optional<std::string> key;
};

std::optional<SubmissionBody> ReadSubmissionBody(const std::string& body, Refusal& refusal);

// The body of POST /api/live: the ticket, and the name if the player gave one.
struct LiveOpening {
    std::string ticket;
    std::optional<std::string> name;
};
std::optional<LiveOpening> ReadLiveOpening(const std::string& body, Refusal& refusal);

}  // namespace korvane::hall
