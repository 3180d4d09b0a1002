#include "route_table.h"

#include <algorithm>

#include "refusal.h"

namespace korvane::hall {

namespace {

// Whether path is the route's; part is then what stands at its `*`. The start and the end
// may share characters ("/api/live/lines" is under "/api/live/" and ends "/lines"): such a
// path has an empty part, which an id's route does not take.
bool Matches(const std::string& pattern, const std::string& path, std::string& part) {
    const size_t star = pattern.find('*');
    part.clear();
    if (star == std::string::npos) return path == pattern;
    const size_t endSize = pattern.size() - star - 1;
    if (path.size() < std::max(star, endSize) || path.compare(0, star, pattern, 0, star) != 0 ||
        path.compare(path.size() - endSize, endSize, pattern, star + 1, endSize) != 0) {
        return false;
    }
    if (path.size() >= star + endSize) part = path.substr(star, path.size() - star - endSize);
    return true;
}

bool Serves(const Route& route, const std::string& method) {
    return method == route.method || (route.method == "GET" && method == "HEAD");
}

}  // namespace

RouteTable::RouteTable(std::vector<Route> routes) : routes_(std::move(routes)) {}

void RouteTable::Dispatch(const HttpRequest& request, Reply reply) const {
    bool refuseMethod = false;
    std::string part;
    for (const Route& route : routes_) {
        if (!Matches(route.path, request.path, part) || (route.takes && !route.takes(part)))
            continue;
        if (Serves(route, request.method)) return route.handler(request, part, std::move(reply));
        refuseMethod = refuseMethod || route.refusesOtherMethods;
    }
    reply(refuseMethod ? Refuse({"method", "not with " + request.method})
                       : Refuse({"not-found", "nothing here"}));
}

const std::string& RouteTable::NameOf(const std::string& path) const {
    static const std::string kOther = "other";
    std::string part;
    for (const Route& route : routes_) {
        if (Matches(route.path, path, part)) return route.name;
    }
    return kOther;
}

}  // namespace korvane::hall
