#pragma once
// What the hall's two stores (scores and tickets, live games) share to speak to the
// database: values bound as Qt SQL wants them, and a statement run or refused loudly.

#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <cstdint>
#include <string>

namespace korvane::hall {

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

inline QVariant Long(int64_t n) {
    return QVariant::fromValue<qlonglong>(n);
}

// Runs a prepared statement with its values bound in order, or throws StoreError.
void Exec(QSqlQuery& q, const QString& sql, const QVariantList& values);

// 32 hexadecimal digits from the system's entropy: a ticket's or a live game's id, which a
// client cannot guess.
std::string RandomHexId();

}  // namespace korvane::hall
