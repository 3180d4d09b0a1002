#include "hall_key.h"

#include <QSettings>

namespace korvane {

namespace {

QSettings Keys() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("korvane"),
                     QStringLiteral("hall-keys"));
}

// One settings key per hall: its address, which holds characters QSettings reads as groups.
QString SettingOf(const QUrl& hall) {
    const QByteArray address = hall.adjusted(QUrl::RemoveUserInfo | QUrl::StripTrailingSlash)
                                   .toEncoded();
    return QStringLiteral("keys/") +
           QString::fromLatin1(
               address.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

}  // namespace

QString HallKey(const QUrl& hall) {
    return Keys().value(SettingOf(hall)).toString();
}

void KeepHallKey(const QUrl& hall, const QString& key) {
    QSettings keys = Keys();
    keys.setValue(SettingOf(hall), key);
    keys.sync();
}

QString HallKeyPlace() {
    return QStringLiteral("It is kept in %1. On another device, send a score to this hall with "
                          "the same key: the page keeps it in the browser (its hall panel's "
                          "\"Use a key\"), the desktop in that file.")
        .arg(Keys().fileName());
}

}  // namespace korvane
