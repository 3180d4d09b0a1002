#pragma once
// The player's key for a hall of fame: the hall answers it with the first score stored under
// a name, and asks for it with every later score under that name (and it claims the other
// names sent with it). The desktop keeps one per hall, with the program's settings
// (QSettings: ~/.config/korvane/hall-keys.conf on Linux), so that it is sent without the
// player ever typing it; the hall's dialog shows it on request, for another device.

#include <QString>
#include <QUrl>

namespace korvane {

// The key kept for hall, or empty.
QString HallKey(const QUrl& hall);
void KeepHallKey(const QUrl& hall, const QString& key);
// Where the keys are kept, and how to take one to another device, in a sentence or two.
QString HallKeyPlace();

}  // namespace korvane
