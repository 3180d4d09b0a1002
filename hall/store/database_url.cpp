#include "database_url.h"

#include <QUrl>
#include <QUrlQuery>
#include <algorithm>

namespace korvane::hall {

bool IsPostgresUrl(const std::string& database) {
    return database.rfind("postgresql://", 0) == 0 || database.rfind("postgres://", 0) == 0;
}

std::optional<PostgresTarget> ParsePostgresUrl(const std::string& text, std::string& why) {
    const QUrl url(QString::fromStdString(text), QUrl::StrictMode);
    const QUrlQuery query(url);
    PostgresTarget t;
    t.host = (query.hasQueryItem("host") ? query.queryItemValue("host", QUrl::FullyDecoded)
                                         : url.host())
                 .toStdString();
    bool numeric = true;
    t.port = query.hasQueryItem("port") ? query.queryItemValue("port").toInt(&numeric)
                                        : url.port(5432);
    t.user = url.userName().toStdString();
    t.password = url.password().toStdString();
    t.database = url.path().mid(1).toStdString();
    // A user is needed over the network; over the socket, peer authentication may take the
    // system user's own name.
    const bool socket = t.host.rfind('/', 0) == 0;
    if (!url.isValid() || t.host.empty() || t.database.empty() || !numeric ||
        (t.user.empty() && !socket)) {
        why = "expected postgresql://USER@HOST[:PORT]/DB or "
              "postgresql://[USER@]/DB?host=SOCKET_FOLDER, got " +
              MaskedDatabase(text);
        return std::nullopt;
    }
    return t;
}

std::string MaskedDatabase(const std::string& database) {
    if (!IsPostgresUrl(database)) return database;
    std::string masked = database;
    const size_t authority = masked.find("://") + 3;
    const size_t authorityEnd = std::min(masked.find_first_of("/?", authority), masked.size());
    const size_t at = masked.rfind('@', authorityEnd);
    if (at != std::string::npos && at >= authority) {
        const size_t colon = masked.find(':', authority);
        if (colon < at) masked.replace(colon + 1, at - colon - 1, "***");
    }
    // libpq's own spelling, postgresql://...?password=..., is masked too.
    for (size_t key = masked.find("password=", authority); key != std::string::npos;
         key = masked.find("password=", key + 1)) {
        if (masked[key - 1] != '?' && masked[key - 1] != '&') continue;
        const size_t value = key + 9;
        masked.replace(value, std::min(masked.find('&', value), masked.size()) - value, "***");
    }
    return masked;
}

}  // namespace korvane::hall
