#include "sql_values.h"

#include <QSqlError>
#include <random>

#include "store.h"

namespace korvane::hall {

void Exec(QSqlQuery& q, const QString& sql, const QVariantList& values) {
    if (!q.prepare(sql)) throw StoreError(q.lastError().text().toStdString());
    for (const QVariant& v : values) q.addBindValue(v);
    if (!q.exec()) throw StoreError(q.lastError().text().toStdString());
}

std::string RandomHexId() {
    std::random_device device;
    static const char kHex[] = "0123456789abcdef";
    std::string id;
    for (int i = 0; i < 4; ++i) {
        uint32_t bits = device();
        for (int j = 0; j < 8; ++j, bits >>= 4) id += kHex[bits & 15];
    }
    return id;
}

}  // namespace korvane::hall
