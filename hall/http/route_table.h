#pragma once
// The hall's routes in one table: each a method, the path it answers, the name the metrics
// count it by, and its handler. Dispatch and the metrics' route label both read it, so a
// route added is served and counted by its own name at once; a path no route knows is
// answered 404 and counted as other, never by the text a client chose.

#include <functional>
#include <string>
#include <vector>

#include "http_server.h"

namespace korvane::hall {

// part: what stands at the path's `*`, empty for a path without one.
using RouteHandler =
    std::function<void(const HttpRequest& request, const std::string& part, Reply reply)>;

struct Route {
    std::string method;  // GET (which answers HEAD too) or POST
    // The path, or its start and end around one `*` that stands for any text (slashes too).
    std::string path;
    std::string name;  // the metrics' label: a few fixed names, never a client's text
    RouteHandler handler;
    // The part a route takes (an id's form, say): a path with another is not found. None:
    // any part.
    std::function<bool(const std::string& part)> takes = {};
    // Another method on this route's path is told 405 `method`; false: 404, as a path no
    // route serves.
    bool refusesOtherMethods = true;
};

class RouteTable {
  public:
    explicit RouteTable(std::vector<Route> routes);

    // Answers through the route the request's method and path name, or refuses it.
    void Dispatch(const HttpRequest& request, Reply reply) const;
    // The name of the route whose path this is (whatever the method), or "other".
    const std::string& NameOf(const std::string& path) const;

  private:
    std::vector<Route> routes_;
};

}  // namespace korvane::hall
