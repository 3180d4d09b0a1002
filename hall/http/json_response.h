#pragma once
// An API answer: a status and a compact JSON body, as every route of the hall gives it.

#include <QJsonDocument>
#include <QJsonObject>

#include "http_server.h"

namespace korvane::hall {

inline HttpResponse Json(int status, const QJsonObject& body) {
    HttpResponse r;
    r.status = status;
    r.contentType = "application/json";
    r.body = QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString();
    return r;
}

}  // namespace korvane::hall
