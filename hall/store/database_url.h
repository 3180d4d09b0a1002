#pragma once
// The --database argument: an SQLite file, or PostgreSQL's URL, which may name a host or
// the folder of the server's local socket, and may (unwisely) hold the password.

#include <optional>
#include <string>

namespace korvane::hall {

bool IsPostgresUrl(const std::string& database);

// What Qt's QPSQL driver is given. host is a name, an address, or a folder (starting with
// '/') where the server's socket is, for peer authentication on the same machine.
struct PostgresTarget {
    std::string host;
    int port = 5432;
    std::string user;  // none: libpq takes the system user's name
    std::string password;
    std::string database;
};

// postgresql://[USER[:PASSWORD]@]HOST[:PORT]/DB, or with the host in the query,
// postgresql://[USER@]/DB?host=/run/postgresql[&port=N]; why (the URL masked) when it is
// neither.
std::optional<PostgresTarget> ParsePostgresUrl(const std::string& url, std::string& why);

// The database as the hall may print it: a password in the URL (or its query) is shown as
// ***, so that neither the journal nor a terminal ever holds it.
std::string MaskedDatabase(const std::string& database);

}  // namespace korvane::hall
