#pragma once
// The hall's tables, versioned: a new server version adds a step to the list, and every
// server brings the database it opens up to date before it answers anything.

#include <QSqlDatabase>
#include <string>

namespace korvane::hall {

constexpr int kSchemaVersion = 6;

bool MigrateSchema(QSqlDatabase& db, bool postgres, std::string& why);

}  // namespace korvane::hall
