#pragma once
// A request the hall turns down: the code a program reads, the line a person reads, and the
// HTTP status and Retry-After that go with them. Every refusal the hall answers is one of
// these, answered the one way, {"error": CODE, "message": MESSAGE}.

#include <cstdint>
#include <string>

#include "http_server.h"

namespace korvane::hall {

struct Refusal {
    std::string code;
    std::string message;
    int status = 422;
    int64_t retryAfter = 0;  // seconds; 0: no Retry-After

    Refusal() = default;
    // The status and Retry-After are the code's own (the table in refusal.cpp), so that a
    // code read back from the database answers as it did when it was made.
    Refusal(std::string code, std::string message);
    // A wait of its own: a bucket's, which knows when it has room again.
    Refusal(std::string code, std::string message, int64_t retryAfter);
};

// The answer: the JSON body, its status, and the headers its status asks for.
HttpResponse Refuse(const Refusal& refusal);

// Whether the hall answers with this code (a database shared with a newer hall may hold
// others): the metrics count the codes known, and the rest as other.
bool IsRefusalCode(const std::string& code);

}  // namespace korvane::hall
