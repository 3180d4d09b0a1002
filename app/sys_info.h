#pragma once
// Where the desktop keeps its system-information program. The game asks the same way it
// always did: GetKeyValue answers True with the program's full path, or False with an empty
// text; here the place it looks is the program search path rather than a registry.

#include <QString>
#include <QStringList>

namespace korvane {

// The system-information programs of the common desktops, best first.
const QStringList& SysInfoPrograms();

// Looks keyName up as a program on searchPath (the PATH when empty). On success keyVal is
// its full path and the result is true; otherwise keyVal is empty and the result false.
bool GetKeyValue(const QString& keyName, QString& keyVal, const QStringList& searchPath = {});

// The first of SysInfoPrograms that is installed, or an empty text.
QString FindSysInfoProgram(const QStringList& searchPath = {});

}  // namespace korvane
