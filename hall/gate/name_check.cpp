#include "name_check.h"

#include "name_rule.h"

namespace korvane::hall {

std::optional<Refusal> CheckName(const std::string& name, std::string& normalised) {
    names::NameVerdict verdict = names::CheckName(name);
    if (!verdict.taken) return Refusal{"bad-name", verdict.refusal};
    normalised = std::move(verdict.name);
    return std::nullopt;
}

}  // namespace korvane::hall
