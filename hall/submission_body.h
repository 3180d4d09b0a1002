#pragma once
// The body of POST /api/scores: a JSON object of three strings, each named once; or of two,
// the ticket and name of a game played live, whose lines the hall has.

#include <optional>
#include <string>

#include "submission.h"

namespace korvane::hall {

struct SubmissionBody {
    std::string ticket;
    std::string name;
    std::string recording;
    bool live = false;  // no recording: the ticket's live game
};

std::optional<SubmissionBody> ReadSubmissionBody(const std::string& body, Refusal& refusal);

}  // namespace korvane::hall
