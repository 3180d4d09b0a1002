#pragma once
// The body of POST /api/scores: a JSON object of three strings, each named once.

#include <optional>
#include <string>

#include "submission.h"

namespace korvane::hall {

struct SubmissionBody {
    std::string ticket;
    std::string name;
    std::string recording;
};

std::optional<SubmissionBody> ReadSubmissionBody(const std::string& body, Refusal& refusal);

}  // namespace korvane::hall
